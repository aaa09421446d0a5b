#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <initializer_list>

class QLabel;
class QVBoxLayout;

namespace Orvex {

// A step of the auto run test wizard: lines of text under coloured headings.
class TAutoRunPage : public QWidget
{
    Q_OBJECT

protected:
    explicit TAutoRunPage(QWidget* parent);

    // A heading in its colour at 12 points.
    void AddHeading(const char* name, const QString& text, const QColor& colour, bool bold);
    void AddLines(std::initializer_list<QString> lines);
    void EndPage();

private:
    QLabel* AddText(const QString& text, const char* name = nullptr);

    QVBoxLayout* m_pLayout = nullptr;
};

} // namespace Orvex
