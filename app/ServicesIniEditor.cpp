#include "app/ServicesIniEditor.h"

#include "app/LogText.h"
#include "platform/FileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QtDebug>

namespace {
// The key of a "key = value" line; empty for comments, blank lines and section heads.
QByteArray keyOf(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (t.isEmpty() || t.startsWith(';') || t.startsWith('#') || t.startsWith('['))
        return QByteArray();
    const int eq = t.indexOf('=');
    return eq > 0 ? t.left(eq).trimmed() : QByteArray();
}
} // namespace

QString ServicesIniEditor::encodeValue(const QString& value) {
    QString v = value;
    v.remove(QLatin1Char('\r'));
    v.remove(QLatin1Char('\n'));
    const bool quote = v.contains(QRegExp(QStringLiteral("[,;#\"\\\\=]"))) || v != v.trimmed();
    if (!quote)
        return v;
    v.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    v.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + v + QLatin1Char('"');
}

QByteArray ServicesIniEditor::withKeys(const QByteArray& text, const QString& section, const Keys& keys) {
    const QByteArray eol = text.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    // Lines with their own ends, so that untouched lines are copied byte for byte.
    QList<QByteArray> lines;
    for (int start = 0; start < text.size();) {
        const int nl = text.indexOf('\n', start);
        const int end = nl < 0 ? text.size() : nl + 1;
        lines << text.mid(start, end - start);
        start = end;
    }
    const QByteArray wanted = section.toUtf8();
    auto lineFor = [&](const QPair<QString, QString>& kv) {
        return kv.first.toUtf8() + '=' + encodeValue(kv.second).toUtf8() + eol;
    };

    QList<bool> done;
    for (int i = 0; i < keys.size(); ++i)
        done << false;
    int sectionStart = -1; // index of the section head
    int insertAt = -1;     // after the section's last non-blank line
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray trimmed = lines[i].trimmed();
        if (trimmed.startsWith('[') && trimmed.endsWith(']')) {
            inSection = trimmed.mid(1, trimmed.size() - 2).trimmed() == wanted;
            if (inSection && sectionStart < 0) {
                sectionStart = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!lines[i].trimmed().isEmpty())
            insertAt = i + 1;
        const QByteArray key = keyOf(lines[i]);
        for (int k = 0; k < keys.size(); ++k) {
            if (!key.isEmpty() && key == keys[k].first.toUtf8()) {
                QByteArray replaced = lineFor(keys[k]);
                if (!lines[i].endsWith('\n'))
                    replaced.chop(eol.size());
                lines[i] = replaced;
                done[k] = true;
            }
        }
    }

    QByteArray added;
    for (int k = 0; k < keys.size(); ++k)
        if (!done[k])
            added += lineFor(keys[k]);
    if (sectionStart < 0) {
        if (!lines.isEmpty() && !lines.last().endsWith('\n'))
            lines.last() += eol;
        if (!lines.isEmpty())
            lines << eol;
        lines << '[' + wanted + ']' + eol + added;
    } else if (!added.isEmpty()) {
        if (!lines[insertAt - 1].endsWith('\n'))
            lines[insertAt - 1] += eol;
        lines.insert(insertAt, added);
    }
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line;
    return out;
}

bool ServicesIniEditor::write(const QString& path, const QString& section, const Keys& keys, QString* error) {
    QByteArray text;
    QFile in(path);
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly)) {
            // Keys are only ever set in the file as it is; one that cannot be read stays as it is.
            *error = in.errorString();
            qWarning().noquote() << QStringLiteral(
                                        "Services settings , %1 could not be written (read failed: %2), "
                                        "the old file is kept !")
                                        .arg(LogText::cut(QFileInfo(path).fileName()), *error);
            return false;
        }
        text = in.readAll();
        in.close();
    }
    return FileWriter::write(path, withKeys(text, section, keys), "Services settings", error);
}
