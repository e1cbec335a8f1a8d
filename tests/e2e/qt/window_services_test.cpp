// The window services of the Qt front end on their own: dialog windows and their
// messages, the picture control, menus and menu images, the focus, and the three
// standard dialogs, each driven through the real widgets on the offscreen platform.
#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <vector>

#include "draw/draw.h"
#include "driver.h"
#include "ui/dialogs.h"
#include "ui/qt/dialog_window.h"
#include "ui/qt/window_records.h"
#include "ui/window.h"

namespace {

struct Received {
  uint32_t window;
  uint32_t message;
  uint32_t wparam;
  int32_t lparam;
};
std::vector<Received> g_received;
int32_t g_close_answer = 0;  // what the callback answers to the system's close command
int32_t g_item_answer = 0;   // what a menu item's own callback answers

bool g_shown_before_start = false;  // whether the window showed before its start messages

int32_t Recorder(uint32_t window, uint32_t message, uint32_t wparam, int32_t lparam) {
  g_received.push_back({window, message, wparam, lparam});
  if (message == WM_INITDIALOG || message == WM_SIZE) {
    const WindowRecord* record = FindWindowRecord(window);
    if (record != nullptr && record->widget->isVisible()) g_shown_before_start = true;
  }
  return message == WM_SYSCOMMAND ? g_close_answer : 0;
}

std::vector<uint32_t> g_item_calls;
int32_t ItemCallback(uint32_t, uint32_t message, uint32_t wparam, int32_t) {
  if (message == WM_COMMAND) g_item_calls.push_back(wparam);
  return g_item_answer;
}

std::vector<uint32_t> MessagesOf(const std::vector<Received>& received) {
  std::vector<uint32_t> messages;
  for (const Received& r : received) messages.push_back(r.message);
  return messages;
}

QWidget* WidgetOf(uint32_t handle) {
  const WindowRecord* record = FindWindowRecord(handle);
  return record != nullptr ? record->widget.data() : nullptr;
}

QMenu* DropDownOf(uint32_t menu) {
  const MenuRecord* record = FindMenuRecord(menu);
  return record != nullptr ? record->drop_down.data() : nullptr;
}

uint32_t MainLikeWindow() {
  return CreateDialogWindow(UNITS_PIXELS, 0, "Prueba", 105, 94, 739, 280, WS_MINIMIZEBOX, 0);
}

uint32_t AddPicture(uint32_t window) {
  AddControl(kPictureControlKind, window, 1001, "", 8, 8, 721, 241, WS_CHILD | WS_VISIBLE, 0,
             nullptr);
  const WindowRecord* record = FindWindowRecord(window);
  return record != nullptr ? HandleOfWidget(record->client->findChild<QWidget*>("control_1001"))
                           : 0;
}

// A menu bar with one drop-down holding one command.
uint32_t AttachOneCommand(uint32_t window, int32_t id, void* item_callback = nullptr) {
  const uint32_t bar = NewMenu(0);
  const uint32_t drop_down = NewMenu(1);
  AddMenuItem(bar, drop_down, 0, 0, -1, nullptr, 1, "Menú");
  AddMenuItem(drop_down, 0, id, 0, -1, item_callback, 0, "Orden");
  AttachMenu(window, bar);
  return drop_down;
}

QStringList TextsOf(QWidget* menu) {
  QStringList texts;
  for (QAction* action : menu->actions()) texts << (action->isSeparator() ? "-" : action->text());
  return texts;
}

QPoint CentreCorner(QSize size) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  return QPoint((2 * area.x() + area.width() - size.width()) / 2,
                (2 * area.y() + area.height() - size.height()) / 2);
}

void PressChooserButton(QDialog* dialog, QDialogButtonBox::StandardButton which) {
  dialog->findChild<QDialogButtonBox*>()->button(which)->click();
}

}  // namespace

class WindowServicesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    g_received.clear();
    g_item_calls.clear();
    g_close_answer = 0;
    g_item_answer = 0;
    g_shown_before_start = false;
    ForgetDialogs();
    WatchDialogs();
  }
  void cleanup() {
    QVERIFY2(TakeUnexpectedDialogs().isEmpty(), "a dialog nobody expected was open");
    QVERIFY(AllExpectedDialogsSeen());
    ForgetDialogs();
  }

  void windowIsCreatedHiddenAtItsPlaceWithItsClientSize() {
    const uint32_t window = MainLikeWindow();
    QVERIFY(window != 0);
    QWidget* widget = WidgetOf(window);
    QVERIFY(widget != nullptr);
    QVERIFY(!widget->isVisible());
    QCOMPARE(widget->pos(), QPoint(105, 94));
    QCOMPARE(widget->size(), QSize(739, 280));
    QWidget* client = FindWindowRecord(window)->client;
    QCOMPARE(client->geometry(), QRect(0, 0, 739, 280));
    QCOMPARE(widget->windowTitle(), QString("Prueba"));
    // The minimise box needs a system menu, which this style lacks: a caption alone.
    QVERIFY(!widget->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!widget->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    // The menu bar takes its height from the client area; the outer size stays.
    AttachOneCommand(window, 1);
    const QMenuBar* bar = widget->findChild<QMenuBar*>();
    QVERIFY(bar != nullptr && bar->height() > 0);
    QCOMPARE(widget->size(), QSize(739, 280));
    QCOMPARE(client->geometry(), QRect(0, bar->height(), 739, 280 - bar->height()));
    // Bar 0 takes the menu away and gives the client area its height back.
    AttachMenu(window, 0);
    QVERIFY(!bar->isVisibleTo(widget) || bar->parentWidget() != widget);
    QCOMPARE(client->geometry(), QRect(0, 0, 739, 280));
    // Between creation and RunModal the callback hears nothing.
    QVERIFY(g_received.empty());
    EndDialogWindow(window, 0);
    QVERIFY(FindWindowRecord(window) == nullptr);
  }

  void captionButtonsFollowTheStyleAsOnWindows_data() {
    constexpr uint32_t kSystemMenu = 0x00080000;
    constexpr uint32_t kMaximizeBox = 0x00010000;
    QTest::addColumn<uint>("style");
    QTest::addColumn<bool>("close");
    QTest::addColumn<bool>("minimise");
    QTest::addColumn<bool>("maximise");
    QTest::newRow("minimise box alone") << uint(WS_MINIMIZEBOX) << false << false << false;
    QTest::newRow("both boxes alone") << uint(WS_MINIMIZEBOX | kMaximizeBox) << false << false
                                      << false;
    QTest::newRow("system menu") << uint(kSystemMenu) << true << false << false;
    QTest::newRow("system menu and minimise box")
        << uint(kSystemMenu | WS_MINIMIZEBOX) << true << true << false;
    QTest::newRow("system menu and both boxes")
        << uint(kSystemMenu | WS_MINIMIZEBOX | kMaximizeBox) << true << true << true;
  }

  void captionButtonsFollowTheStyleAsOnWindows() {
    QFETCH(uint, style);
    QFETCH(bool, close);
    QFETCH(bool, minimise);
    QFETCH(bool, maximise);
    const uint32_t window = CreateDialogWindow(UNITS_PIXELS, 0, "Botones", 10, 10, 200, 100,
                                               style, 0);
    const Qt::WindowFlags flags = WidgetOf(window)->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QCOMPARE(flags.testFlag(Qt::WindowSystemMenuHint), close);
    QCOMPARE(flags.testFlag(Qt::WindowCloseButtonHint), close);
    QCOMPARE(flags.testFlag(Qt::WindowMinimizeButtonHint), minimise);
    QCOMPARE(flags.testFlag(Qt::WindowMaximizeButtonHint), maximise);
    EndDialogWindow(window, 0);
  }

  void windowWithoutAPlaceIsCentred() {
    const uint32_t window =
        CreateDialogWindow(UNITS_PIXELS, 0, "Centro", POS_DEFAULT, POS_DEFAULT, 300, 200, 0, 0);
    QCOMPARE(WidgetOf(window)->pos(), CentreCorner(WidgetOf(window)->frameGeometry().size()));
    EndDialogWindow(window, 0);
  }

  void runModalDeliversTheWindowsMessagesInOrder() {
    const uint32_t window = MainLikeWindow();
    AttachOneCommand(window, 1234);
    const int client_height = FindWindowRecord(window)->client->height();
    bool visible_at_start = true;
    int32_t result = -1;
    QTimer::singleShot(0, [&] {
      visible_at_start = WidgetOf(window)->isVisible();
      QMenuBar* bar = WidgetOf(window)->findChild<QMenuBar*>();
      bar->actions()[0]->menu()->actions()[0]->trigger();
      EndDialogWindow(window, 7);
    });
    RunModal(window, Recorder, &result);
    QCOMPARE(result, 7);
    QVERIFY(visible_at_start);
    QVERIFY(!g_shown_before_start);
    QVERIFY(g_received.size() >= 6);
    QCOMPARE(g_received[0].message, uint32_t(WM_INITDIALOG));
    QCOMPARE(g_received[0].wparam, window);
    QCOMPARE(g_received[0].lparam, 0);
    QCOMPARE(g_received[1].message, uint32_t(WM_SIZE));
    QCOMPARE(g_received[1].wparam, uint32_t(SIZE_RESTORED));
    QCOMPARE(g_received[1].lparam, int32_t(739 | (client_height << 16)));
    bool command_seen = false;
    for (const Received& r : g_received) {
      QCOMPARE(r.window, window);
      if (r.message == WM_COMMAND) {
        // From a menu: the id in the low word, 0 in the high word, lParam 0.
        QCOMPARE(r.wparam, 1234u);
        QCOMPARE(r.lparam, 0);
        command_seen = true;
      }
    }
    QVERIFY(command_seen);
    const std::vector<uint32_t> messages = MessagesOf(g_received);
    const std::vector<uint32_t> ending(messages.end() - 3, messages.end());
    QVERIFY(ending == std::vector<uint32_t>({WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    QVERIFY(FindWindowRecord(window) == nullptr);
  }

  void runModalWithoutAWindowOnlyStarts() {
    int32_t result = 9;
    RunModal(0, Recorder, &result);
    QVERIFY(MessagesOf(g_received) == std::vector<uint32_t>({WM_INITDIALOG, WM_SIZE}));
    QCOMPARE(g_received[0].window, 0u);
    QCOMPARE(result, 9);
    EndDialogWindow(0, 1);  // nothing to end
    QCOMPARE(result, 9);
  }

  void activationChangesReachTheCallback() {
    const uint32_t window = MainLikeWindow();
    QWidget other;
    other.setWindowTitle("Otra");
    std::vector<uint32_t> activations;
    QTimer::singleShot(0, [&] {
      QVERIFY(QTest::qWaitForWindowActive(WidgetOf(window)));
      other.show();
      other.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&other));
      WidgetOf(window)->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(WidgetOf(window)));
      for (const Received& r : g_received)
        if (r.message == WM_NCACTIVATE) activations.push_back(r.wparam);
      EndDialogWindow(window, 0);
    });
    int32_t result = 0;
    RunModal(window, Recorder, &result);
    QVERIFY(activations == std::vector<uint32_t>({1, 0, 1}));
  }

  void systemCloseAsksTheCallbackFirst() {
    const uint32_t window = MainLikeWindow();
    bool refused_kept_window = false;
    QTimer::singleShot(0, [&] {
      g_close_answer = 1;  // handled: the window stays
      WidgetOf(window)->close();
      refused_kept_window = FindWindowRecord(window) != nullptr && WidgetOf(window)->isVisible();
      g_close_answer = 0;  // not handled: the window ends with result 0
      WidgetOf(window)->close();
    });
    int32_t result = 5;
    RunModal(window, Recorder, &result);
    QVERIFY(refused_kept_window);
    QCOMPARE(result, 0);
    int close_commands = 0;
    for (const Received& r : g_received)
      if (r.message == WM_SYSCOMMAND && r.wparam == SC_CLOSE) ++close_commands;
    QCOMPARE(close_commands, 2);
  }

  void applicationExitDoesNotEndTheModalLoop() {
    const uint32_t window = MainLikeWindow();
    bool alive_after_exit = false;
    QTimer::singleShot(0, [] { QCoreApplication::exit(3); });
    QTimer::singleShot(50, [&] {
      alive_after_exit = FindWindowRecord(window) != nullptr;
      EndDialogWindow(window, 1);
    });
    int32_t result = 0;
    RunModal(window, Recorder, &result);
    QVERIFY(alive_after_exit);
    QCOMPARE(result, 1);
  }

  void menuItemCallbackComesBeforeTheWindows() {
    const uint32_t window = MainLikeWindow();
    const uint32_t drop_down =
        AttachOneCommand(window, 77, reinterpret_cast<void*>(&ItemCallback));
    QTimer::singleShot(0, [&] {
      QAction* item = DropDownOf(drop_down)->actions()[0];
      g_item_answer = 1;  // handled by the item: the window never sees it
      item->trigger();
      g_item_answer = 0;
      item->trigger();
      EndDialogWindow(window, 0);
    });
    int32_t result = 0;
    RunModal(window, Recorder, &result);
    QVERIFY(g_item_calls == std::vector<uint32_t>({77, 77}));
    int window_commands = 0;
    for (const Received& r : g_received)
      if (r.message == WM_COMMAND) ++window_commands;
    QCOMPARE(window_commands, 1);
  }

  void menuItemsGoWhereTheyAreAsked() {
    const uint32_t menu = NewMenu(1);
    AddMenuItem(menu, 0, 10, 0, -1, nullptr, 0, "A");
    AddMenuItem(menu, 0, 11, 0, -1, nullptr, 0, "B");
    AddMenuItem(menu, 0, 12, 0, 1, nullptr, 0, "C");    // place 1: first
    AddMenuItem(menu, 0, 13, 0, 10, nullptr, 2, "D");   // before the item with id 10
    AddMenuItem(menu, 0, 14, 0, 999, nullptr, 2, "X");  // no item 999: not added
    AddMenuItem(menu, 0, 15, 0, -1, nullptr, 0, "-");
    AddMenuItem(menu, 0, 16, 0, -1, nullptr, 0, "E");
    AddMenuItem(menu, 0, 17, 0, 3, nullptr, 0, "F");    // place 3
    QCOMPARE(TextsOf(DropDownOf(menu)), QStringList({"C", "D", "F", "A", "B", "-", "E"}));
    // A separator carries no id.
    QVERIFY(!DropDownOf(menu)->actions()[5]->property("tessarine_id").isValid());
    // Images go by place, separators counted.
    const uint32_t image_pixels[4] = {0xFF112233, 0xFF112233, 0xFF112233, 0xFF112233};
    const uint32_t image = MenuImageFromPixels(2, 2, 2, image_pixels);
    QVERIFY(image != 0);
    SetMenuItemImage(menu, 6, image);
    QVERIFY(DropDownOf(menu)->actions()[5]->icon().isNull());
    QCOMPARE(DropDownOf(menu)->actions()[6]->icon().pixmap(2, 2).toImage().pixel(1, 1),
             0xFF112233u);
  }

  void menusLiveWithTheirWindowAndReplacedBarsToTheEnd() {
    const uint32_t window = MainLikeWindow();
    const uint32_t first_drop_down = AttachOneCommand(window, 5);
    const QPointer<QMenu> first_menu = DropDownOf(first_drop_down);
    const QPointer<QMenuBar> first_bar = FindWindowRecord(window)->widget->findChild<QMenuBar*>();
    QVERIFY(first_menu != nullptr && first_bar != nullptr);
    // Hanging from its bar, a drop-down is still a popup of its own.
    QVERIFY(first_menu->parentWidget() == first_bar);
    QCOMPARE(first_menu->windowType(), Qt::Popup);
    QVERIFY(first_menu->isWindow());

    const uint32_t second_drop_down = AttachOneCommand(window, 6);
    const QPointer<QMenu> second_menu = DropDownOf(second_drop_down);
    const QPointer<QMenuBar> second_bar =
        static_cast<DialogWindow*>(WidgetOf(window))->menuBar();
    QVERIFY(second_bar != nullptr && second_bar != first_bar);
    // The replaced bar is off the window but kept, with its drop-down and items.
    QVERIFY(first_bar != nullptr && first_bar->parentWidget() == nullptr);
    QVERIFY(!first_bar->isVisible());
    QVERIFY(first_menu != nullptr);
    QCOMPARE(TextsOf(first_menu), QStringList({"Orden"}));

    // A drop-down on no bar yet and an image are kept too.
    const uint32_t loose = NewMenu(1);
    AddMenuItem(loose, 0, 7, 0, -1, nullptr, 0, "Suelta");
    const QPointer<QMenu> loose_menu = DropDownOf(loose);
    const uint32_t image_pixels[1] = {0xFF102030};
    const uint32_t image = MenuImageFromPixels(1, 1, 1, image_pixels);
    QVERIFY(loose_menu != nullptr && FindMenuImage(image) != nullptr);

    // The window takes its attached bar and that bar's drop-down along, nothing else.
    EndDialogWindow(window, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(WidgetOf(window) == nullptr);
    QVERIFY(second_bar == nullptr);
    QVERIFY(second_menu == nullptr);
    QVERIFY(first_bar != nullptr && first_menu != nullptr && loose_menu != nullptr);

    // At the end everything the records kept goes, and the handles find nothing.
    ReleaseMenus();
    QVERIFY(first_bar == nullptr);
    QVERIFY(first_menu == nullptr);
    QVERIFY(loose_menu == nullptr);
    QVERIFY(FindMenuRecord(first_drop_down) == nullptr);
    QVERIFY(FindMenuRecord(loose) == nullptr);
    QVERIFY(FindMenuImage(image) == nullptr);
    // Menus made afterwards work as before.
    const uint32_t later = NewMenu(1);
    AddMenuItem(later, 0, 8, 0, -1, nullptr, 0, "Después");
    QCOMPARE(TextsOf(DropDownOf(later)), QStringList({"Después"}));
  }

  void dropDownHungFromItselfKeepsNoParentLoop() {
    const uint32_t outer = NewMenu(1);
    const uint32_t inner = NewMenu(1);
    AddMenuItem(outer, inner, 0, 0, -1, nullptr, 1, "Dentro");
    QVERIFY(DropDownOf(inner)->parentWidget() == DropDownOf(outer));
    // Hanging the outer one from the inner one would make each the other's parent.
    AddMenuItem(inner, outer, 0, 0, -1, nullptr, 1, "Fuera");
    QVERIFY(DropDownOf(outer)->parentWidget() == nullptr);
    QVERIFY(DropDownOf(inner)->parentWidget() == DropDownOf(outer));
  }

  void menuImagesComeFromBitmapFilesAndPixels() {
    QVERIFY(LoadMenuImage("/nonexistent/color.bmp") == 0);
    QTemporaryDir folder;
    QImage swatch(16, 16, QImage::Format_RGB32);
    swatch.fill(qRgb(0xC0, 0x40, 0x10));
    const QString path = folder.path() + "/color.bmp";
    QVERIFY(swatch.save(path, "BMP"));
    const uint32_t from_file = LoadMenuImage(path.toUtf8().constData());
    QVERIFY(from_file != 0);
    // Rows `stride` pixels apart: the pixels past the width are not part of the image.
    const uint32_t pixels[2 * 3] = {0xFF0000FF, 0xFF00FF00, 0xFFFFFFFF,
                                    0xFFFF0000, 0xFF000000, 0xFFFFFFFF};
    const uint32_t from_pixels = MenuImageFromPixels(2, 2, 3, pixels);
    QVERIFY(MenuImageFromPixels(2, 2, 1, pixels) == 0);
    const uint32_t menu = NewMenu(1);
    AddMenuItem(menu, 0, 1, 0, -1, nullptr, 0, "Uno");
    AddMenuItem(menu, 0, 2, 0, -1, nullptr, 0, "Dos");
    SetMenuItemImage(menu, 0, from_file);
    SetMenuItemImage(menu, 1, from_pixels);
    QCOMPARE(DropDownOf(menu)->actions()[0]->icon().pixmap(16, 16).toImage().pixel(5, 5),
             qRgb(0xC0, 0x40, 0x10));
    const QImage small = DropDownOf(menu)->actions()[1]->icon().pixmap(2, 2).toImage();
    QCOMPARE(small.pixel(1, 0), 0xFF00FF00u);
    QCOMPARE(small.pixel(0, 1), 0xFFFF0000u);
  }

  void pictureControlShowsItsSurfaceAtOnce() {
    const uint32_t window = MainLikeWindow();
    const uint32_t picture = AddPicture(window);
    QVERIFY(picture != 0);
    QWidget* widget = WidgetOf(picture);
    QCOMPARE(widget->geometry(), QRect(8, 8, 721, 241));
    QVERIFY(widget->parentWidget() == FindWindowRecord(window)->client);
    // A new surface is the control's size, all in the button-face colour.
    const PixelView view = ControlSurfacePixels(picture);
    QCOMPARE(view.width, 721);
    QCOMPARE(view.height, 241);
    WidgetOf(window)->show();
    QVERIFY(QTest::qWaitForWindowExposed(WidgetOf(window)));
    QCOMPARE(CountNot(widget->grab().toImage(), RgbOf(kButtonFaceColour)), 0);
    // The window and id name the control as a drawing target; the drawing shows on the
    // screen before the call returns, with no event handled in between.
    int paints = 0;
    struct PaintCounter : QObject {
      int* count;
      explicit PaintCounter(int* c) : count(c) {}
      bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++*count;
        return false;
      }
    } counter(&paints);
    widget->installEventFilter(&counter);
    SelectTarget(window, 1001, 0);
    SetColours(0x000000, 0x0000FF);  // red, as 0x00BBGGRR
    Clear(kColourDefault, 0);
    QVERIFY(paints > 0);
    widget->removeEventFilter(&counter);
    QCOMPARE(CountNot(widget->grab().toImage(), qRgb(0xFF, 0, 0)), 0);
    EndDialogWindow(window, 0);
    QVERIFY(ControlSurfacePixels(picture).pixels == nullptr);
    QVERIFY(FindWindowRecord(picture) == nullptr);
  }

  void onlyThePictureKindIsAddedAndOnlyToWindows() {
    const uint32_t window = MainLikeWindow();
    AddControl(3, window, 1002, "", 0, 0, 10, 10, 0, 0, nullptr);
    AddControl(kPictureControlKind, 0x12345, 1003, "", 0, 0, 10, 10, 0, 0, nullptr);
    QCOMPARE(FindWindowRecord(window)->client->findChildren<QWidget*>().size(), 0);
    EndDialogWindow(window, 0);
  }

  void pictureTakesTheFocusOnClickAndKeepsEveryKey() {
    const uint32_t window = MainLikeWindow();
    const uint32_t picture = AddPicture(window);
    auto* other = new QLineEdit(FindWindowRecord(window)->client);
    other->setGeometry(8, 252, 100, 20);
    QWidget* top = WidgetOf(window);
    top->show();
    top->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(top));
    other->setFocus();
    QTest::mouseClick(WidgetOf(picture), Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(WidgetOf(picture)->hasFocus());
    QCOMPARE(FocusWindow(), picture);
    QTest::keyClick(WidgetOf(picture), Qt::Key_Tab);
    QVERIFY(WidgetOf(picture)->hasFocus());
    // A widget the program never made still gets a handle, and the focus comes back.
    other->setFocus();
    const uint32_t foreign = FocusWindow();
    QVERIFY(foreign != 0 && foreign != picture);
    SetFocusWindow(picture);
    QVERIFY(WidgetOf(picture)->hasFocus());
    SetFocusWindow(foreign);
    QVERIFY(other->hasFocus());
    EndDialogWindow(window, 0);
  }

  void promptShowsItsTextsAndReturnsTheWholeAnswer() {
    const QString long_answer = "  " + QString(400, QChar('7')) + " ";
    QString caption, prompt, selected;
    QPoint corner;
    bool laid_out = false;
    ExpectDialog([&](QDialog* dialog) {
      caption = dialog->windowTitle();
      prompt = DialogText(dialog);
      corner = dialog->pos();
      auto* edit = dialog->findChild<QLineEdit*>();
      selected = edit->selectedText();
      QPushButton* ok = nullptr;
      QPushButton* cancel = nullptr;
      for (QPushButton* button : dialog->findChildren<QPushButton*>())
        (button->text() == "OK" ? ok : cancel) = button;
      const QLabel* label = dialog->findChild<QLabel*>();
      // The prompt upper left, OK above Cancel at the right, the edit along the bottom.
      laid_out = ok != nullptr && cancel != nullptr && cancel->text() == "Cancel" &&
                 ok->geometry().bottom() < cancel->geometry().top() &&
                 ok->geometry().left() > label->geometry().right() &&
                 edit->geometry().top() > label->geometry().bottom() &&
                 edit->geometry().top() > cancel->geometry().bottom() &&
                 label->wordWrap() && ok->isDefault();
      AnswerPrompt(long_answer)(dialog);  // typing replaces the selected default text
    });
    const std::string answer = PromptForText("<De 1 a 30000>", "¿Cuántos?", "123", 40, 30);
    QCOMPARE(QString::fromStdString(answer), long_answer);
    QCOMPARE(caption, QString("¿Cuántos?"));
    QCOMPARE(prompt, QString("<De 1 a 30000>"));
    QCOMPARE(selected, QString("123"));
    QCOMPARE(corner, QPoint(40, 30));
    QVERIFY(laid_out);
  }

  void promptIsCentredWithoutAPlace() {
    QPoint corner;
    QSize size;
    ExpectDialog([&](QDialog* dialog) {
      corner = dialog->pos();
      size = dialog->frameGeometry().size();
      AnswerPrompt("1")(dialog);
    });
    QCOMPARE(QString::fromStdString(PromptForText("p", "c", "", 0, -1)), QString("1"));
    QCOMPARE(corner, CentreCorner(size));
  }

  void promptGivesNothingWhenDismissed_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "Cancel";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("close box") << "close";
  }

  void promptGivesNothingWhenDismissed() {
    QFETCH(QString, how);
    ExpectDialog([how](QDialog* dialog) {
      dialog->findChild<QLineEdit*>()->setText("42");
      DismissPrompt(how)(dialog);
    });
    QCOMPARE(QString::fromStdString(PromptForText("p", "c", "9", -1, -1)), QString());
  }

  void messageBoxHasOneOkButtonAndNoIcon() {
    bool plain = false;
    Message message;
    ExpectDialog([&](QDialog* dialog) {
      auto* box = qobject_cast<QMessageBox*>(dialog);
      plain = box != nullptr && box->icon() == QMessageBox::NoIcon &&
              box->buttons().size() == 1 && box->button(QMessageBox::Ok) != nullptr;
      ReadMessage(&message)(dialog);
    });
    QCOMPARE(ShowMessage("Creados 2 cartones del bingo ...", 0, "Programador"), int32_t(IDOK));
    QVERIFY(plain);
    QCOMPARE(message.title, QString("Programador"));
    QCOMPARE(message.text, QString("Creados 2 cartones del bingo ..."));
    // Esc closes it too, with the same answer; an empty title gets the program's name.
    ExpectDialog([&](QDialog* dialog) {
      message.title = dialog->windowTitle();
      QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QCOMPARE(ShowMessage("texto", 0, ""), int32_t(IDOK));
    QCOMPARE(message.title, QString("Tessarine"));
  }

  void colourChooserIsPlacedByItsOwner_data() {
    QTest::addColumn<bool>("owned");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QPoint>("expected");  // (-1, -1): centred
    QTest::newRow("owner, no place") << true << int(POS_DEFAULT) << int(POS_DEFAULT)
                                     << QPoint(105 + 30, 94 + 30);
    QTest::newRow("owner, one coordinate") << true << 50 << int(POS_DEFAULT)
                                           << QPoint(105 + 30, 94 + 30);
    QTest::newRow("owner and place") << true << 50 << 60 << QPoint(105 + 50, 94 + 60);
    QTest::newRow("place only") << false << 50 << 60 << QPoint(50, 60);
    QTest::newRow("nothing") << false << int(POS_DEFAULT) << int(POS_DEFAULT) << QPoint(-1, -1);
  }

  void colourChooserIsPlacedByItsOwner() {
    QFETCH(bool, owned);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QPoint, expected);
    const uint32_t owner = owned ? MainLikeWindow() : 0;
    if (owned) WidgetOf(owner)->show();
    QPoint corner;
    QSize size;
    bool owner_disabled = false;
    ExpectDialog([&](QDialog* dialog) {
      corner = dialog->pos();
      size = dialog->frameGeometry().size();
      owner_disabled = owned && !WidgetOf(owner)->isEnabled();
      PressChooserButton(dialog, QDialogButtonBox::Cancel);
    });
    int32_t custom[16] = {};
    QCOMPARE(PickColour(owner, x, y, 0x808080, custom, CC_FULLOPEN), -1);
    if (expected == QPoint(-1, -1)) {
      const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
      expected = QPoint((area.x() + area.width()) / 2 - size.width() / 2,
                        (area.y() + area.height()) / 2 - size.height() / 2);
    }
    QCOMPARE(corner, expected);
    if (owned) {
      QVERIFY(owner_disabled);
      QVERIFY(WidgetOf(owner)->isEnabled());
      EndDialogWindow(owner, 0);
    }
  }

  void colourChooserAnswersInBlueGreenRed() {
    int32_t custom[16] = {};
    custom[0] = 0x0000FF;  // red
    custom[15] = 0x332211;
    QColor start, first_custom, last_custom;
    ExpectDialog([&](QDialog* dialog) {
      start = qobject_cast<QColorDialog*>(dialog)->currentColor();
      first_custom = QColorDialog::customColor(0);
      last_custom = QColorDialog::customColor(15);
      QColorDialog::setCustomColor(1, QColor(0x44, 0x55, 0x66));
      qobject_cast<QColorDialog*>(dialog)->setCurrentColor(QColor(0x11, 0x22, 0x33));
      PressChooserButton(dialog, QDialogButtonBox::Ok);
    });
    // The high byte of the starting colour is not a colour.
    QCOMPARE(PickColour(0, POS_DEFAULT, POS_DEFAULT, 0x7F563412, custom, 0), 0x332211);
    QCOMPARE(start, QColor(0x12, 0x34, 0x56));
    QCOMPARE(first_custom, QColor(0xFF, 0, 0));
    QCOMPARE(last_custom, QColor(0x11, 0x22, 0x33));
    QCOMPARE(custom[1], 0x665544);
    // Black is a colour like any other; Esc and the close box are Cancel.
    ExpectDialog([](QDialog* dialog) {
      qobject_cast<QColorDialog*>(dialog)->setCurrentColor(Qt::black);
      PressChooserButton(dialog, QDialogButtonBox::Ok);
    });
    QCOMPARE(PickColour(0, POS_DEFAULT, POS_DEFAULT, 0x808080, custom, 0), 0);
    ExpectDialog([](QDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    QCOMPARE(PickColour(0, POS_DEFAULT, POS_DEFAULT, 0x808080, custom, 0), -1);
    ExpectDialog([](QDialog* dialog) { dialog->close(); });
    QCOMPARE(PickColour(0, POS_DEFAULT, POS_DEFAULT, 0x808080, custom, 0), -1);
  }
};

QTEST_MAIN(WindowServicesTest)
#include "window_services_test.moc"
