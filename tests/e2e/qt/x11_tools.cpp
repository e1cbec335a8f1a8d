// The X tools behind the window manager checks. Positions and properties come from
// xwininfo and xprop, in separate processes, so what is checked is what the X server
// holds, not what Qt believes.
#include "x11_tools.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kToolTimeoutMs = 20000;

// The numbers after "NAME(TYPE) = " in xprop's answer; empty if the property is unset.
QVector<long long> PropertyNumbers(const QString& output) {
  QVector<long long> numbers;
  const int equals = output.indexOf('=');
  if (equals < 0) return numbers;
  for (const QString& field : output.mid(equals + 1).split(',', Qt::SkipEmptyParts)) {
    bool ok = false;
    const long long value = field.trimmed().toLongLong(&ok, 0);
    if (ok) numbers.append(value);
  }
  return numbers;
}

xcb_atom_t AtomNamed(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection,
      xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  if (reply == nullptr) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

}  // namespace

bool OnX11() { return QGuiApplication::platformName() == "xcb"; }

bool RunXTool(const QString& program, const QStringList& arguments, QString* output,
              QString* reason) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(kToolTimeoutMs) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    *reason = program + " " + arguments.join(' ') + ": " + process.errorString() + " " +
              QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (process.state() != QProcess::NotRunning) process.kill();
    return false;
  }
  *output = QString::fromLocal8Bit(process.readAllStandardOutput());
  return true;
}

bool ReadPlace(WId window, XWindowPlace* place, QString* reason) {
  const QString id = QString::number(window);
  QString info;
  if (!RunXTool("xwininfo", {"-id", id}, &info, reason)) return false;
  auto field = [&info](const char* label) {
    const QRegularExpression pattern(QString(label) + ":\\s+(-?\\d+)");
    const QRegularExpressionMatch match = pattern.match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
  };
  place->client = QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"),
                        field("Width"), field("Height"));
  QString extents;
  if (!RunXTool("xprop", {"-id", id, "_NET_FRAME_EXTENTS"}, &extents, reason)) return false;
  const QVector<long long> numbers = PropertyNumbers(extents);
  place->has_extents = numbers.size() == 4;
  if (place->has_extents) {
    place->left = int(numbers[0]);
    place->right = int(numbers[1]);
    place->top = int(numbers[2]);
    place->bottom = int(numbers[3]);
  }
  return true;
}

QVector<uint32_t> MotifHintsOf(WId window, QString* reason) {
  QString output;
  QVector<uint32_t> hints;
  if (!RunXTool("xprop", {"-id", QString::number(window), "_MOTIF_WM_HINTS"}, &output, reason))
    return hints;
  for (long long value : PropertyNumbers(output)) hints.append(uint32_t(value));
  return hints;
}

QString WindowGravityOf(WId window, QString* reason) {
  QString output;
  if (!RunXTool("xprop", {"-id", QString::number(window), "WM_NORMAL_HINTS"}, &output, reason))
    return QString();
  return QRegularExpression("window gravity: (\\w+)").match(output).captured(1);
}

QRect RootWorkArea(QString* reason) {
  QString output;
  if (RunXTool("xprop", {"-root", "_NET_WORKAREA"}, &output, reason)) {
    const QVector<long long> numbers = PropertyNumbers(output);
    if (numbers.size() >= 4)
      return QRect(int(numbers[0]), int(numbers[1]), int(numbers[2]), int(numbers[3]));
  }
  if (!RunXTool("xwininfo", {"-root"}, &output, reason)) return QRect();
  const QRegularExpressionMatch width = QRegularExpression("Width:\\s+(\\d+)").match(output);
  const QRegularExpressionMatch height = QRegularExpression("Height:\\s+(\\d+)").match(output);
  return QRect(0, 0, width.captured(1).toInt(), height.captured(1).toInt());
}

WId FindWindowOf(qint64 pid, const QString& name, QString* reason) {
  QString output;
  // --sync waits until such a window is mapped; the tool's time-out bounds the wait.
  if (!RunXTool("xdotool", {"search", "--sync", "--onlyvisible", "--pid", QString::number(pid),
                            "--name", "^" + QRegularExpression::escape(name) + "$"},
                &output, reason))
    return 0;
  const QStringList found = output.split('\n', Qt::SkipEmptyParts);
  if (found.isEmpty()) {
    *reason = "xdotool found no window";
    return 0;
  }
  return WId(found.first().toULongLong());
}

bool SendDeleteWindow(WId window, QString* reason) {
  const auto* x11 = OnX11() ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                            : nullptr;
  xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection == nullptr) {
    *reason = "not on X11";
    return false;
  }
  xcb_client_message_event_t event;
  std::memset(&event, 0, sizeof(event));
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = xcb_window_t(window);
  event.type = AtomNamed(connection, "WM_PROTOCOLS");
  event.data.data32[0] = AtomNamed(connection, "WM_DELETE_WINDOW");
  event.data.data32[1] = XCB_CURRENT_TIME;
  const xcb_void_cookie_t sent = xcb_send_event_checked(
      connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
  xcb_generic_error_t* error = xcb_request_check(connection, sent);
  const bool done = error == nullptr && event.type != XCB_ATOM_NONE;
  if (!done) *reason = "the X server refused the client message";
  std::free(error);
  return done;
}
