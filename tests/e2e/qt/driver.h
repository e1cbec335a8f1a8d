// Drives the program's real widgets on Qt's offscreen platform. The program runs its
// own modal loops, so a test hands over a script that runs inside them: the script
// triggers menu items as the user would, and every dialog that opens is given to the
// next expected handler, or closed and noted as unexpected.
#pragma once
#include <QAction>
#include <QDialog>
#include <QImage>
#include <QMenuBar>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <string>

#include "tests/support/test_support.h"

// ---- Dialogs ---------------------------------------------------------------
using DialogHandler = std::function<void(QDialog*)>;

// The next dialog that opens goes to `handler`, which must close it.
void ExpectDialog(DialogHandler handler);
// Whether every expected dialog has come, and the ones that came unasked.
bool AllExpectedDialogsSeen();
QStringList TakeUnexpectedDialogs();  // "title: text" of each
// Starts watching for dialogs (RunProgram does it); stops with ForgetDialogs.
void WatchDialogs();
void ForgetDialogs();
// At a test's end: what went wrong with its dialogs ("" when nothing did), then forgets them.
QString DialogTroubleThenForget();

struct Message {
  QString title;
  QString text;
};
// Notes the message box's title and text and presses its OK button.
DialogHandler ReadMessage(Message* message);
// Types the answer into the prompt's edit field and presses Enter.
DialogHandler AnswerPrompt(const QString& answer);
// Closes the prompt as the user can without answering: "Cancel", "Esc" or "close".
DialogHandler DismissPrompt(const QString& how);
// The text of a dialog: a message box's text or a prompt's label.
QString DialogText(QDialog* dialog);

// ---- The program's window --------------------------------------------------
// The visible window captioned "Tessarine", or nullptr.
QWidget* MainWindow();
QWidget* PictureOf(QWidget* window);  // the picture control (id 1001)
QMenuBar* MenuBarOf(QWidget* window);  // the bar on show
// The item of a drop-down of the bar with this text; nullptr if there is none.
QAction* MenuItem(QWidget* window, const QString& text);
// Triggers a menu item as a click on it would; false if there is no such item.
bool Choose(QWidget* window, const QString& text);
// What the picture shows on the screen.
QImage PictureImage(QWidget* window);
// The swatch beside "Elegir Color", 16 x 16.
QImage SwatchImage(QWidget* window);

// Runs the program's main routine. `script` runs inside its modal loop once the window
// is up; if the window is still there afterwards, "Salir" ends it. Returns what the
// main routine returned.
int RunProgram(const std::function<void(QWidget* window)>& script);

// ---- Pictures and files ----------------------------------------------------
constexpr QRgb kWhiteRgb = 0xFFFFFFFF;
// A 0x00BBGGRR colour as Qt's 0xFFRRGGBB.
QRgb RgbOf(int32_t colour);
// How many pixels of the image differ from `colour`.
int CountNot(const QImage& image, QRgb colour);
std::string ReadFileBytes(const std::string& path);  // "" if missing
// RemoveTree and the other file helpers: tests/support/test_support.h.
