// Time of what intelligent mode does per utterance: the three reloads of the user-maintained
// vocabulary files plus the interpretation of one command, with the shipped files and with a
// software.txt of 10,000 records. Prints figures; asserts nothing.
#include "commands/CommandInterpreter.h"
#include "commands/VocabularyTables.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCodec>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char* const commands[] = {
    "打开微信",   "知乎搜索量子力学", "北京的空气质量",   "我的快递到哪了", "苹果的英文",
    "上海的天气", "我想看流浪地球",   "买一台笔记本电脑", "听稻香",         "我想吃火锅",
    "打开计算器", "玩蜘蛛纸牌",       "今天星期几",
};
const int commandCount = int(sizeof(commands) / sizeof(commands[0]));

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

void stageShippedFiles() {
    const QString data = QStringLiteral(ZORVEL_DATA_DIR);
    const QString os = data + QStringLiteral("/" ZORVEL_OS);
    for (const QString& name : QDir(data).entryList(QStringList{"*.txt"}, QDir::Files))
        QFile::copy(QFile::exists(os + '/' + name) ? os + '/' + name : data + '/' + name, name);
}

QByteArray softwareRecords(int count, int variant) {
    QTextCodec* gbk = QTextCodec::codecForName("GBK");
    QByteArray out;
    out.reserve(count * 90);
    for (int i = 0; i < count; ++i) {
        const QString line =
            QStringLiteral("应用程序%1,app%1.exe,https://download.example.com/app%1/,").arg(i) +
            (i % 3 == variant % 3 ? QStringLiteral("file:///C:\\\\Program Files\\\\App%1\\\\app%1.exe").arg(i)
                                  : QString());
        out += gbk->fromUnicode(line) + "\r\n";
    }
    return out;
}

struct Figures {
    double medianUs;
    double meanUs;
    double maxUs;
};

// Runs reload + interpret `rounds` times; `touch` may rewrite a file before each round (untimed).
int opened = 0; // keeps the interpretation from being optimised away

template <typename Touch> Figures measure(VocabularyTables& tables, int rounds, Touch touch) {
    const CommandInterpreter interpreter(tables);
    std::vector<double> us;
    us.reserve(rounds);
    for (int i = 0; i < rounds; ++i) {
        touch(i);
        QElapsedTimer timer;
        timer.start();
        tables.reloadUserMaintained();
        const CommandAction action = interpreter.interpret(QString::fromUtf8(commands[i % commandCount]));
        us.push_back(timer.nsecsElapsed() / 1000.0);
        opened += action.kind == CommandAction::OpenUrl;
    }
    std::sort(us.begin(), us.end());
    double sum = 0;
    for (double v : us)
        sum += v;
    return {us[us.size() / 2], sum / us.size(), us.back()};
}

void print(const char* what, const Figures& f) {
    std::printf("%-62s median %8.1f us  mean %8.1f us  max %8.1f us\n", what, f.medianUs, f.meanUs, f.maxUs);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    stageShippedFiles();
    const int rounds = 300;

    {
        QElapsedTimer timer;
        timer.start();
        VocabularyTables tables;
        tables.loadAll();
        std::printf("%-62s %8.1f us\n", "start-up load of the nine shipped files",
                    timer.nsecsElapsed() / 1000.0);
        print("shipped files: reloads + interpret, files unchanged", measure(tables, rounds, [](int) {}));
        print("shipped files: reloads + interpret, software.txt rewritten",
              measure(tables, rounds, [](int i) {
                  QFile f("software.txt");
                  f.open(QIODevice::Append);
                  f.write(QByteArray(i % 2 ? "\r\n" : ""));
              }));
    }

    const QByteArray big[2] = {softwareRecords(10000, 0), softwareRecords(10000, 1)};
    {
        QFile f("software.txt");
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(big[0]);
    }
    std::printf("software.txt with 10,000 records: %d bytes\n", int(big[0].size()));
    VocabularyTables tables;
    {
        QElapsedTimer timer;
        timer.start();
        tables.loadAll();
        std::printf("%-62s %8.1f us\n", "start-up load with it", timer.nsecsElapsed() / 1000.0);
    }
    print("10,000 records: reloads + interpret, files unchanged", measure(tables, rounds, [](int) {}));
    print("10,000 records: reloads + interpret, software.txt rewritten", measure(tables, 100, [&big](int i) {
              QFile f("software.txt");
              f.open(QIODevice::WriteOnly | QIODevice::Truncate);
              f.write(big[(i + 1) % 2]);
          }));

    // A very large commandwords.txt, last changed a minute ago: an unchanged file is not read again.
    {
        QByteArray words;
        for (int i = 0; words.size() < 50 * 1024 * 1024; ++i)
            words += "word" + QByteArray::number(i) + ",file:///home/user/documents/folder" +
                     QByteArray::number(i) + "\r\n";
        QFile f("commandwords.txt");
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(words);
        f.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
        std::printf("commandwords.txt of %d bytes\n", int(words.size()));
    }
    VocabularyTables large;
    large.loadAll();
    print("50 MB commandwords.txt: reloads + interpret, unchanged", measure(large, 50, [](int) {}));
    print("50 MB commandwords.txt: reloads + interpret, touched", measure(large, 5, [](int i) {
              QFile f("commandwords.txt");
              f.open(QIODevice::ReadWrite);
              f.setFileTime(QDateTime::currentDateTime().addSecs(-30 + i), QFileDevice::FileModificationTime);
          }));
    std::printf("(%d commands opened a page)\n", opened);
    return 0;
}
