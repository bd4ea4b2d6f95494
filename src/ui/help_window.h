#pragma once

class QWidget;

namespace dramolex::ui {

// Opens the program's manual in a window of its own, above `parent`.
void showHelp(QWidget* parent);

// Makes F1 and the caption's help button open the manual for a window.
void installHelp(QWidget* window);

} // namespace dramolex::ui
