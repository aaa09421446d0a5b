#pragma once

#include "Component.h"

#include <QObject>
#include <QString>

namespace Orvex {

// The serial link object ("ComHost2.LinkPort"): carries text commands to the
// drive on one numbered port and tells its owner when received text waits.
// Every operation may throw a ComponentError.
class ILinkPort : public QObject, public IComponent
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual QString Version() const = 0;
    virtual bool IsOpen() const = 0;
    virtual void Open(int portNumber, bool flag) = 0;
    virtual void Close() = 0;
    // Everything received since the previous Read.
    virtual QString Read() = 0;
    // Sends the text unchanged; the caller adds the "\r".
    virtual void Write(const QString& text) = 0;

Q_SIGNALS:
    void DataWaiting();
};

} // namespace Orvex
