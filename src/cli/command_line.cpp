#include "cli/command_line.h"

#include <QGuiApplication>
#include <memory>

#include <unistd.h>

#include <QCoreApplication>
#include <QStringList>
#include <QTranslator>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/rooms_command.h"

namespace dsp::cli {

namespace {

// The commands' part of the help, in the user's language.
QString CommandsHelp() {
  return QCoreApplication::translate(
      "Options",
      "\n"
      "命令(不打开窗口; 退出状态: 成功为 0, 任何失败为 1, 命令或参数有误为 2):\n"
      "  info                  处理器的设备代码、当前模式及其 15 个模式名称\n"
      "                        (--json: 输出一个 JSON 对象)。\n"
      "  backup FILE           下载全部参数并写入预设文件 FILE (经由临时文件:\n"
      "                        失败时 FILE 保持原样)。\n"
      "  restore FILE          检查预设文件 FILE, 上传, 再次下载并比较: 只有处理器\n"
      "                        中的设置与文件完全相同时才算成功。\n"
      "  recall-mode N         将处理器切换到它的模式 N (1..15)。\n"
      "  save-mode N NAME      将处理器的当前设置保存为模式 N, 名称为 NAME\n"
      "                        (可打印 ASCII 字符, 最多 20 个)。\n"
      "  rooms FILE COMMAND    在房间文件 FILE 的每个房间上同时执行 COMMAND\n"
      "                        (每行一个房间: 名称 端口; --only, --jobs, --json):\n"
      "    info                每个房间的设备代码、当前模式和模式名称。\n"
      "    backup DIR          每个房间写入 DIR/名称.Wfxr。\n"
      "    check PRESET        下载每个房间并与预设文件比较, 不写入任何内容。\n"
      "    restore PRESET      在每个房间上恢复并校验 (--dry-run: 只说明会改变什么)。\n"
      "                        退出状态: 全部成功 (check: 全部相同) 为 0, 否则为 1。\n"
      "  serve --rooms FILE    前台: 保持房间文件 FILE 中每个房间的连接, 提供 HTTP API、\n"
      "                        事件 WebSocket 和浏览器页面, 直到 SIGINT 或 SIGTERM\n"
      "                        (--listen ADDRESS:PORT, 默认 127.0.0.1:8480;\n"
      "                        --token-file FILE; --static DIR)。\n"
      "  export SOURCE [OUT]   将设置写成可读的 JSON (每行一个参数; --lang en:\n"
      "                        英文名称); 没有 OUT 时输出到标准输出。\n"
      "  import IN OUT         将导出的 JSON 文件 IN 写回预设文件 OUT (有问题时\n"
      "                        列出每个问题及其行号, 不写任何文件)。\n"
      "  diff A B              按页列出 A 与 B 不同的参数 (--json); 相同为 0,\n"
      "                        不同为 1。\n"
      "  report SOURCE OUT     将设置的报告 (各页、均衡曲线及全部参数) 写成 PDF\n"
      "                        文件 OUT。\n"
      "SOURCE, A, B: 预设文件、导出的 JSON 文件或端口 (端口的处理器只被读取)。\n"
      "\n"
      "端口 NAME 是串口设备 (/dev/ttyUSB0), 或串口网络服务器后面的处理器:\n"
      "tcp://HOST:PORT (原始 TCP) 或 rfc2217://HOST:PORT (带串口控制的 Telnet)。\n");
}

void PrintUsageError(const QString& problem, const QCommandLineParser& parser) {
  std::fprintf(stderr, "dsp-control: %s\n\n%s", qPrintable(problem), qPrintable(HelpText(parser)));
}

}  // namespace

bool TakesValue(const QString& arg) {
  return arg == QLatin1String("--port") || arg == QLatin1String("--presets") ||
         arg == QLatin1String("--lang") || arg == QLatin1String("--only") || arg == QLatin1String("--jobs") ||
         arg == QLatin1String("--rooms");
}

Options::Options()
    : help({QStringLiteral("h"), QStringLiteral("help")}, tr("显示本帮助并退出。")),
      version({QStringLiteral("v"), QStringLiteral("version")}, tr("显示版本并退出。")),
      port(QStringLiteral("port"),
           tr("查找处理器时先试端口 NAME (设备路径、伪终端、tcp://HOST:PORT 或 "
              "rfc2217://HOST:PORT; 可重复)。"),
           QStringLiteral("NAME")),
      presets(QStringLiteral("presets"), tr("预设文件存放在 DIR 而不是默认文件夹 (仅用于窗口)。"),
              QStringLiteral("DIR")),
      lang(QStringLiteral("lang"),
           tr("程序使用的语言 LANG: zh (处理器自己的中文) 或 en。默认: 英文桌面用英文, 否则用中文。"),
           QStringLiteral("LANG")),
      json(QStringLiteral("json"), tr("以一个 JSON 对象输出 info 的结果 (rooms: 一个 JSON 数组)。")),
      only(QStringLiteral("only"), tr("rooms: 只处理这些房间 (以逗号分隔的名称)。"),
           QStringLiteral("NAME[,NAME...]")),
      jobs(QStringLiteral("jobs"), tr("rooms: 同时最多处理 N 个房间 (默认: 全部, 最多 64)。"),
           QStringLiteral("N")),
      dryRun(QStringLiteral("dry-run"), tr("rooms restore: 只比较并说明恢复会改变什么, 不写入。")),
      rooms(QStringLiteral("rooms"), tr("窗口: 从房间文件 FILE 中选择房间 (会被记住)。"), QStringLiteral("FILE")) {}

void Options::AddTo(QCommandLineParser& parser) const {
  parser.setApplicationDescription(
      tr("串口上的数字音效处理器的遥控前面板。\n"
         "不带命令时打开窗口; 带命令时执行该命令后退出。"));
  parser.addOption(help);
  parser.addOption(version);
  parser.addOption(port);
  parser.addOption(presets);
  parser.addOption(lang);
  parser.addOption(json);
  parser.addOption(only);
  parser.addOption(jobs);
  parser.addOption(dryRun);
  parser.addOption(rooms);
  parser.addPositionalArgument(QStringLiteral("command"), tr("一个命令 (见下); 没有命令: 打开窗口。"),
                               QStringLiteral("[command [arguments]]"));
}

QString HelpText(const QCommandLineParser& parser) {
  return parser.helpText().replace(QStringLiteral("<executable_name>"), QCoreApplication::applicationName()) +
         CommandsHelp();
}

QString LanguageArgument(int argc, char** argv) {
  QString value;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (arg == QLatin1String("--")) break;
    if (arg == QLatin1String("--lang")) {
      if (i + 1 < argc) value = QString::fromLocal8Bit(argv[i + 1]);
      ++i;
    } else if (arg.startsWith(QLatin1String("--lang="))) {
      value = arg.mid(7);
    } else if (TakesValue(arg)) {
      ++i;
    }
  }
  return value;
}

bool HasCommand(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (TakesValue(arg)) {
      ++i;
    } else if (arg == QLatin1String("--")) {
      return i + 1 < argc;
    } else if (!arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
      return true;
    }
  }
  return false;
}

namespace {

// The first word that is not an option or an option's value.
std::string CommandWord(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (arg == QLatin1String("--port") || arg == QLatin1String("--presets") || arg == QLatin1String("--lang")) {
      ++i;
    } else if (!arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
      return arg.toStdString();
    }
  }
  return {};
}

}  // namespace

int Run(int argc, char** argv, UiLanguage language, const ReportWriter& report) {
  // A report paints (fonts, pictures): it needs the GUI application, on the
  // offscreen platform, since a command never shows anything.
  std::unique_ptr<QCoreApplication> application;
  if (CommandWord(argc, argv) == "report") {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application = std::make_unique<QGuiApplication>(argc, argv);
  } else {
    application = std::make_unique<QCoreApplication>(argc, argv);
  }
  QCoreApplication& app = *application;
  const std::unique_ptr<QTranslator> translation = InstallTranslation(app, language);
  QCommandLineParser parser;
  const Options options;
  options.AddTo(parser);
  if (!parser.parse(QCoreApplication::arguments())) {
    PrintUsageError(parser.errorText(), parser);
    return kExitUsage;
  }
  QStringList words = parser.positionalArguments();
  if (words.isEmpty()) {
    PrintUsageError(QStringLiteral("no command"), parser);
    return kExitUsage;
  }
  const bool fleetOptions = parser.isSet(options.only) || parser.isSet(options.jobs) || parser.isSet(options.dryRun);
  if (parser.isSet(options.rooms)) {
    PrintUsageError(QStringLiteral("--rooms is for the window; a command takes the rooms file as an argument"),
                    parser);
    return kExitUsage;
  }
  if (words.first() == QLatin1String("rooms")) {
    words.removeFirst();
    RoomsRequest rooms;
    if (!words.isEmpty()) rooms.file = words.takeFirst().toStdString();
    if (!words.isEmpty()) rooms.command = words.takeFirst().toStdString();
    if (!words.isEmpty()) rooms.argument = words.takeFirst().toStdString();
    if (!words.isEmpty()) {
      PrintUsageError(QStringLiteral("rooms: too many arguments"), parser);
      return kExitUsage;
    }
    if (parser.isSet(options.port) || parser.isSet(options.presets)) {
      PrintUsageError(QStringLiteral("rooms takes its ports from the rooms file, not from --port"), parser);
      return kExitUsage;
    }
    for (const QString& value : parser.values(options.only))
      for (const QString& name : value.split(QLatin1Char(','), Qt::SkipEmptyParts))
        rooms.only.push_back(name.trimmed().toStdString());
    if (parser.isSet(options.jobs)) {
      bool number = false;
      rooms.jobs = parser.value(options.jobs).toInt(&number);
      if (!number || rooms.jobs < 1) rooms.jobs = -1;
    }
    rooms.json = parser.isSet(options.json);
    rooms.dryRun = parser.isSet(options.dryRun);
    std::string problem;
    if (!ValidateRooms(rooms, problem)) {
      PrintUsageError(QString::fromStdString(problem), parser);
      return kExitUsage;
    }
    return ExecuteRooms(rooms, stdout, stderr, ::isatty(STDERR_FILENO) == 1);
  }
  if (fleetOptions) {
    PrintUsageError(QStringLiteral("--only, --jobs and --dry-run are for rooms only"), parser);
    return kExitUsage;
  }
  Request request;
  request.command = words.takeFirst().toStdString();
  for (const QString& word : words) request.arguments.push_back(word.toStdString());
  for (const QString& name : parser.values(options.port)) request.ports.push_back(name.toStdString());
  request.json = parser.isSet(options.json);
  request.language = LanguageCode(language).toStdString();
  request.languageGiven = parser.isSet(options.lang);
  // An import reads names in the source texts and in English.
  std::unique_ptr<QTranslator> english;
  if (request.command == "import" && language != UiLanguage::English)
    english = InstallTranslation(app, UiLanguage::English);
  if (parser.isSet(options.presets)) {
    PrintUsageError(QStringLiteral("--presets is for the window; a command takes its file as an argument"),
                    parser);
    return kExitUsage;
  }
  std::string problem;
  if (!Validate(request, problem)) {
    PrintUsageError(QString::fromStdString(problem), parser);
    return kExitUsage;
  }
  return Execute(request, stdout, stderr, ::isatty(STDERR_FILENO) == 1, report);
}

}  // namespace dsp::cli
