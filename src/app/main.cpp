// SPDX-License-Identifier: GPL-3.0-or-later
// Skyvane: a live sky chart of the radio sources of a catalogue.
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QStandardPaths>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "app/form1.h"

namespace {

void PrintTo(std::FILE* stream, const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

// The program's own folder in the file system's bytes, whatever they are.
std::filesystem::path ProgramFolder(const char* argv0) {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return exe.parent_path();
  return std::filesystem::absolute(argv0, error).parent_path();
}

// The value of `--name VALUE` or `--name=VALUE` in the arguments' own bytes,
// which need be no text in any encoding.
std::optional<std::string> RawOption(int argc, char* argv[], const std::string& name) {
  std::optional<std::string> value;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == name && i + 1 < argc) {
      value = argv[++i];
    } else if (a.rfind(name + "=", 0) == 0) {
      value = a.substr(name.size() + 1);
    }
  }
  return value;
}

// The user's data folder in the environment's own bytes.
std::filesystem::path DataFolder() {
  const QByteArray xdg = qgetenv("XDG_DATA_HOME");
  if (!xdg.isEmpty() && xdg.startsWith('/')) return xdg.toStdString();
  const QByteArray home = qgetenv("HOME");
  if (home.isEmpty()) return {};
  return std::filesystem::path(home.toStdString()) / ".local" / "share";
}

// A window system that cannot be reached ends the program with its reason
// and status 1, not with an abort.
void OnMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
  PrintTo(stderr, message + QLatin1Char('\n'));
  if (type == QtFatalMsg) {
    PrintTo(stderr, QStringLiteral("skyvane: the window system could not be started\n"));
    std::_Exit(1);
  }
}

// Where the platform puts windows: the offscreen and minimal platforms show
// none, and the X and Wayland platforms need a display to talk to.
enum class Screen { kNone, kHeadless, kWindows };

Screen ScreenFor(const QString& platform, bool display_given) {
  if (platform.startsWith(QLatin1String("offscreen")) ||
      platform.startsWith(QLatin1String("minimal"))) {
    return Screen::kHeadless;
  }
  const bool x = !qEnvironmentVariableIsEmpty("DISPLAY") || display_given;
  const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  if (platform.isEmpty()) return x || wayland ? Screen::kWindows : Screen::kNone;
  if (platform.startsWith(QLatin1String("xcb"))) return x ? Screen::kWindows : Screen::kNone;
  if (platform.startsWith(QLatin1String("wayland"))) {
    return wayland ? Screen::kWindows : Screen::kNone;
  }
  return Screen::kWindows;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication::setApplicationName(QStringLiteral("Skyvane"));
  QCoreApplication::setOrganizationName(QStringLiteral("Skyvane"));

  // The command line is read before any window system is touched, so that
  // --help and --version work without a display.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("A live sky chart of the radio sources of a catalogue."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  const QCommandLineOption catalogue(QStringLiteral("catalogue"),
                                     QStringLiteral("Start with the catalogue <file>."),
                                     QStringLiteral("file"));
  parser.addOption(catalogue);
  const QCommandLineOption equinox(
      QStringLiteral("equinox"),
      QStringLiteral("The equinox of a table's positions when its columns do not say: "
                     "J2000 or B1950."),
      QStringLiteral("equinox"));
  parser.addOption(equinox);
  // Qt's own options (-platform, -display...) pass through to the application.
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
  QStringList ours{arguments.value(0)};
  QString valueless;  // one of Qt's options with nothing after it
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if (a == QLatin1String("-platform") || a == QLatin1String("-display")) {
      if (i + 1 == arguments.size()) valueless = a;
      ++i;
      continue;
    }
    ours << a;
  }
  // The window system is not up yet, so the usage names the program itself.
  const QString usage =
      parser.helpText().replace(QLatin1String("<executable_name>"), QLatin1String("skyvane"));
  if (!valueless.isEmpty()) {
    PrintTo(stderr, QStringLiteral("Missing value after '%1'.\n\n").arg(valueless) + usage);
    return 2;
  }
  if (!parser.parse(ours) || !parser.positionalArguments().isEmpty()) {
    PrintTo(stderr, (parser.errorText().isEmpty() ? QStringLiteral("Unexpected argument: ") +
                                                        parser.positionalArguments().value(0)
                                                  : parser.errorText()) +
                        QStringLiteral("\n\n") + usage);
    return 2;
  }
  if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
    PrintTo(stdout, usage);
    return 0;
  }
  const QString equinox_name = parser.value(equinox).toUpper();
  if (parser.isSet(equinox) && equinox_name != QLatin1String("J2000") &&
      equinox_name != QLatin1String("B1950")) {
    PrintTo(stderr, QStringLiteral("--equinox takes J2000 or B1950, not %1\n\n")
                        .arg(parser.value(equinox)) +
                        usage);
    return 2;
  }
  if (parser.isSet(version)) {
    PrintTo(stdout, QStringLiteral("skyvane %1\n").arg(QStringLiteral(SKYVANE_VERSION)));
    return 0;
  }

  QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
  const int at = arguments.indexOf(QStringLiteral("-platform"));
  if (at > 0) platform = arguments.value(at + 1, platform);
  const Screen screen = ScreenFor(platform, arguments.contains(QStringLiteral("-display")));
  if (screen == Screen::kNone) {
    PrintTo(stderr, QStringLiteral("skyvane: no display to show the window on (DISPLAY is not "
                                   "set)\n"));
    return 1;
  }
  const bool windows = screen == Screen::kWindows;

  qInstallMessageHandler(OnMessage);
  QApplication app(argc, argv);
  qInstallMessageHandler(nullptr);
  // A user's own catalogue in the user's data folder comes before the one
  // beside the program; --catalogue names a file to use instead.
  std::vector<std::filesystem::path> folders;
  if (const auto data = DataFolder(); !data.empty()) folders.push_back(data / "skyvane");
  folders.push_back(ProgramFolder(argv[0]));
  // --catalogue names the file; else the one opened last, while it exists.
  std::optional<std::filesystem::path> file;
  skyvane::Equinox assumed = skyvane::Equinox::kJ2000;
  if (parser.isSet(catalogue)) {
    file = RawOption(argc, argv, "--catalogue").value_or(std::string());
  } else if (const auto last = skyvane::Form1::LastCatalogue()) {
    file = last->first;
    assumed = last->second;
  }
  if (parser.isSet(equinox)) {
    assumed = equinox_name == QLatin1String("B1950") ? skyvane::Equinox::kB1950
                                                     : skyvane::Equinox::kJ2000;
  }

  skyvane::SystemClock clock;
  skyvane::Form1 form(clock);
  const auto show_message = form.ShowMessage;
  form.ShowMessage = [&](const QString& text) {
    PrintTo(stderr, QStringLiteral("skyvane: ") + text + QLatin1Char('\n'));
    if (windows) show_message(text);
  };
  if (!form.Form_Load(folders, file, assumed)) return 1;
  form.ShowMessage = show_message;
  form.show();
  return QApplication::exec();
}
