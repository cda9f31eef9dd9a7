#pragma once

#include <QSize>
#include <QString>

#include <functional>

class QWidget;

namespace tavora::test {

// The folder that holds the profile during the run (QSettings points there).
QString ProfileFolder();
// Removes every stored profile value.
void ClearProfile();

// Points the profile at a place where nothing can be written, for its lifetime.
class UnwritableProfile {
public:
    UnwritableProfile();
    ~UnwritableProfile();
    UnwritableProfile(const UnwritableProfile&) = delete;
    UnwritableProfile& operator=(const UnwritableProfile&) = delete;
};

// Resizes a shown top-level window and lets the resize reach it.
void ResizeWindow(QWidget* window, QSize size);
// Lets pending events run.
void Settle();

// Saves window's picture as <build>/screenshots/<name>.png; the path, or empty.
QString SaveScreenshot(QWidget* window, const QString& name);

} // namespace tavora::test
