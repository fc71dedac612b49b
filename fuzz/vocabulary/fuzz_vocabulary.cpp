// Feeds arbitrary bytes to the nine vocabulary loaders and the command interpreter. The input is
// cut at NUL bytes: the pieces become the nine files in turn and the last piece, decoded as GBK,
// is the command text. The files are then rewritten and reloaded to exercise the merge.
#include "commands/CommandInterpreter.h"
#include "commands/VocabularyTables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCodec>

namespace {

const char* const files[] = {"area.txt",  "live.txt",     "system.txt",    "Buy.txt",         "Movie.txt",
                             "Music.txt", "software.txt", "webSearch.txt", "commandwords.txt"};

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

void writeFile(const char* name, const QByteArray& content) {
    QFile file(QString::fromLatin1(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    static const bool moved = QDir::setCurrent(dir.path());
    static const QtMessageHandler previous = qInstallMessageHandler(quiet);
    Q_UNUSED(moved);
    Q_UNUSED(previous);

    const QList<QByteArray> pieces =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<int>(size)).split('\0');
    for (int i = 0; i < int(std::size(files)); ++i)
        writeFile(files[i], i < pieces.size() ? pieces[i] : QByteArray());

    VocabularyTables tables;
    tables.loadAll();
    const CommandInterpreter interpreter(tables, SiteHosts());
    const QString command = QTextCodec::codecForName("GBK")->toUnicode(pieces.last());
    interpreter.interpret(command);
    interpreter.interpret(command + QStringLiteral("的空气质量"));
    interpreter.interpret(QStringLiteral("打开") + command);

    // The user-maintained files change between utterances: swap their contents and reload.
    writeFile("software.txt", pieces.first());
    writeFile("webSearch.txt", pieces.size() > 1 ? pieces[1] : QByteArray());
    writeFile("commandwords.txt", pieces.last());
    tables.reloadUserMaintained();
    interpreter.interpret(command);
    return 0;
}
