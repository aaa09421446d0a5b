#pragma once

#include <QString>

class QSettings;

namespace Orvex {

class ComponentFactory;
class IOrvexConfig;
class IOrvexMotorCollection;
class IOrvexMotorServer;
class IUiServices;
class ParameterLimits;

// What the application object hands to the main window and the pages: the
// objects it owns for the whole run and the services every page uses.
struct AppContext
{
    ComponentFactory& Factory;
    IUiServices& Ui;
    QSettings& Settings;
    IOrvexConfig& Config;
    IOrvexMotorServer* MotorServer = nullptr;
    IOrvexMotorCollection* MotorCollection = nullptr;
    const ParameterLimits& Limits;
    bool TestMode = false;
    // The folder of the program and its data files (command database, ...).
    QString ProgramFolder;
};

} // namespace Orvex
