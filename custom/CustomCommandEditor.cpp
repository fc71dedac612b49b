#include "custom/CustomCommandEditor.h"
#include "ui_CustomCommandEditor.h"

#include "app/NoticeBox.h"
#include "platform/FileWriter.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QMouseEvent>
#include <QTextCodec>
#include <QTextStream>
#include <QtDebug>

static const char kWebFile[] = "./webSearch.txt";
static const char kCommandFile[] = "./commandwords.txt";
static const char kSoftwareFile[] = "./software.txt";
static const char kFileLink[] = ",file:///";

static const char kDarkButton[] =
    "QPushButton{background-color: rgb(61, 102, 98); color: rgb(255, 255, 255);}";
static const char kLightButton[] =
    "QPushButton{background-color: rgb(230, 230, 230); color: rgb(52, 52, 52);}"
    "QPushButton:hover{background-color: rgb(61, 102, 102); color: rgb(255, 255, 255);}";

static QTextCodec* gbk() {
    return QTextCodec::codecForName("GBK");
}

// The non-empty lines of a vocabulary file (GBK unless it starts with a Unicode byte-order mark),
// without their line ends. False when the file cannot be opened.
static bool readRecords(const QString& path, QStringList* lines) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream in(&file);
    in.setCodec(gbk());
    in.setAutoDetectUnicode(true);
    QString line;
    while (in.readLineInto(&line))
        if (!line.isEmpty())
            lines->append(line);
    return true;
}

// True when a record of the file has the word before its first separator.
static bool isTaken(const QString& path, QChar separator, const QString& word, const char* openFailure) {
    QStringList lines;
    if (!readRecords(path, &lines)) {
        qWarning("%s", openFailure);
        return false;
    }
    for (const QString& line : lines)
        if (line.section(separator, 0, 0) == word)
            return true;
    return false;
}

// Appends one record with CR LF. A last line left without its line end gets one first, so the new
// record never runs into it. The file is replaced as a whole, so a full disk never leaves half a
// record; a failure is logged (openFailure when the file cannot be read) and gives false.
static bool appendRecord(const QString& path, const QString& record, const char* openFailure) {
    QByteArray bytes;
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            qWarning("%s", openFailure);
            return false;
        }
        bytes = file.readAll();
        file.close();
    }
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        bytes += "\r\n";
    bytes += gbk()->fromUnicode(record) + "\r\n";
    return FileWriter::write(path, bytes, "Custom command words");
}

CustomCommandEditor::CustomCommandEditor(QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), ui(new Ui::CustomCommandEditor), m_prompt(new NoticeBox) {
    ui->setupUi(this);
    // Connected before the lists load: filling the word list selects its first row.
    connect(ui->newWordsTabButton, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(ui->definedWordsTabButton, &QPushButton::clicked, this, [this] { showPage(1); });
    connect(ui->closeButton, &QToolButton::clicked, this, &CustomCommandEditor::closeDialog);
    connect(ui->addWebButton, &QPushButton::clicked, this, &CustomCommandEditor::addWebCommand);
    connect(ui->addFolderButton, &QPushButton::clicked, this,
            [this] { addPathCommand(QStringLiteral("文件夹"), ui->folderEdit); });
    connect(ui->addFileButton, &QPushButton::clicked, this,
            [this] { addPathCommand(QStringLiteral("文件"), ui->fileEdit); });
    connect(ui->deleteButton, &QPushButton::clicked, this, &CustomCommandEditor::deleteSelectedWord);
    connect(ui->definedWordCombo, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &CustomCommandEditor::highlightDefinedRow);
    connect(ui->definedWordsTable, &QTableWidget::itemPressed, this, [this](QTableWidgetItem* item) {
        if (item)
            ui->definedWordCombo->setCurrentIndex(item->row());
    });
    ui->definedWordsTable->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    ui->definedWordsTable->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    ui->definedWordsTable->horizontalHeader()->setStretchLastSection(true);
    showPage(0);

    loadWebCommands();
    loadFileCommands();

    connect(this, &CustomCommandEditor::alreadyDefsig, this, &CustomCommandEditor::alreadyDef);
    ui->definedWordsTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->definedWordsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(ui->browseFolderButton, &QToolButton::clicked, this, &CustomCommandEditor::browseFolder);
    connect(ui->browseFileButton, &QToolButton::clicked, this, &CustomCommandEditor::browseFile);

    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    raise();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

CustomCommandEditor::~CustomCommandEditor() {
    delete m_prompt;
    delete ui;
}

void CustomCommandEditor::showPage(int page) {
    ui->pages->setCurrentIndex(page);
    ui->newWordsTabButton->setStyleSheet(QLatin1String(page == 0 ? kDarkButton : kLightButton));
    ui->definedWordsTabButton->setStyleSheet(QLatin1String(page == 1 ? kDarkButton : kLightButton));
}

// The kind column shows "网页", "文件" or "文件夹" in the interface language; the item keeps the
// kind itself, which deleting goes by.
QString CustomCommandEditor::kindText(const QString& kind) {
    static const char* const kinds[3] = {QT_TR_NOOP("网页"), QT_TR_NOOP("文件"), QT_TR_NOOP("文件夹")};
    for (const char* k : kinds)
        if (kind == QString::fromUtf8(k))
            return tr(k);
    return kind;
}

void CustomCommandEditor::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        for (int row = 0; row < m_count; ++row)
            if (QTableWidgetItem* item = ui->definedWordsTable->item(row, 0))
                item->setText(kindText(item->data(Qt::UserRole).toString()));
    }
    QDialog::changeEvent(event);
}

void CustomCommandEditor::alreadyDef(const QString& str1, const QString& str2, const QString& str3) {
    QTableWidget* table = ui->definedWordsTable;
    if (m_count > 7)
        table->insertRow(table->rowCount());
    ui->definedWordCombo->insertItem(m_count, str2);
    auto* kind = new QTableWidgetItem(kindText(str1));
    kind->setData(Qt::UserRole, str1);
    table->setItem(m_count, 0, kind);
    table->setItem(m_count, 1, new QTableWidgetItem(str2));
    table->setItem(m_count, 2, new QTableWidgetItem(str3));
    ++m_count;
}

// A record without a blank lists as a word with no address.
void CustomCommandEditor::loadWebCommands() {
    QStringList lines;
    if (!readRecords(QLatin1String(kWebFile), &lines)) {
        qWarning("Custom command words , open webSearch file failed !");
        return;
    }
    for (const QString& line : lines) {
        const QStringList parts = line.split(QLatin1Char(' '));
        alreadyDef(QStringLiteral("网页"), parts.value(0), parts.value(1));
    }
}

// The word is what the interpreter takes as the key (the text before the first ","); the content
// is the rest, without "file:///" when the record is a file or folder one. So a record with some
// other address lists with that address, and deleting the word finds the record again.
void CustomCommandEditor::loadFileCommands() {
    QStringList lines;
    if (!readRecords(QLatin1String(kCommandFile), &lines)) {
        qWarning("Custom command words , open commandwords file failed !");
        return;
    }
    for (const QString& line : lines) {
        const int comma = line.indexOf(QLatin1Char(','));
        const QString word = comma < 0 ? line : line.left(comma);
        QString content = comma < 0 ? QString() : line.mid(comma + 1);
        if (content.startsWith(QLatin1String(kFileLink + 1)))
            content = content.mid(int(qstrlen(kFileLink)) - 1);
        alreadyDef(QStringLiteral("文件"), word, content);
    }
}

void CustomCommandEditor::refuse(const QString& word) {
    m_prompt->showPromptFor(tr("%1 已被占用！").arg(word), 500);
}

void CustomCommandEditor::addWebCommand() {
    const QString word = ui->wordEdit->text();
    const QString address = ui->webAddressEdit->text();
    ui->wordEdit->clear();
    ui->webAddressEdit->clear();
    if (isTaken(QLatin1String(kWebFile), QLatin1Char(' '), word,
                "Custom command words , open webSearch file failed when saving command words !")) {
        refuse(word);
        return;
    }
    showPage(1);
    if (!appendRecord(QLatin1String(kWebFile), word + QLatin1Char(' ') + address,
                      "Custom command words , open webSearch file failed when the last save command words !"))
        return;
    emit alreadyDefsig(QStringLiteral("网页"), word, address);
}

void CustomCommandEditor::addPathCommand(const QString& type, QLineEdit* pathField) {
    const QString word = ui->wordEdit->text();
    const QString path = pathField->text();
    ui->wordEdit->clear();
    pathField->clear();
    const bool taken =
        isTaken(QLatin1String(kWebFile), QLatin1Char(' '), word,
                "Custom command words , open webSearch file failed when saving command words !") ||
        isTaken(QLatin1String(kSoftwareFile), QLatin1Char(','), word,
                "Custom command words , open software file failed when judging command words !") ||
        isTaken(QLatin1String(kCommandFile), QLatin1Char(','), word,
                "Custom command words , open commandwords file failed when saving command words !");
    if (taken) {
        refuse(word);
        return;
    }
    showPage(1);
    if (!appendRecord(
            QLatin1String(kCommandFile), word + QLatin1String(kFileLink) + path,
            "Custom command words , open commandwords file failed when the last save command words !"))
        return;
    emit alreadyDefsig(type, word, path);
}

void CustomCommandEditor::deleteSelectedWord() {
    const QString word = ui->definedWordCombo->currentText();
    QString type;
    QTableWidget* table = ui->definedWordsTable;
    for (int row = 0; row < m_count;) {
        QTableWidgetItem* item = table->item(row, 1);
        if (!item || item->text() != word) {
            ++row;
            continue;
        }
        if (QTableWidgetItem* typeItem = table->item(row, 0))
            type = typeItem->data(Qt::UserRole).toString();
        table->removeRow(row);
        ui->definedWordCombo->removeItem(row);
        --m_count;
        if (m_count < 7)
            table->insertRow(table->rowCount());
    }
    if (type == QStringLiteral("网页"))
        removeRecordLine(QLatin1String(kWebFile), QLatin1Char(' '), word,
                         "Custom command words , open webSearch file failed when deleting command words !");
    else if (type == QStringLiteral("文件夹") || type == QStringLiteral("文件"))
        removeRecordLine(
            QLatin1String(kCommandFile), QLatin1Char(','), word,
            "Custom command words , open commandwords file failed when deleting command words !");
}

void CustomCommandEditor::removeRecordLine(const QString& path, QChar separator, const QString& word,
                                           const char* openFailure) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("%s", openFailure);
        return;
    }
    const QByteArray content = file.readAll();
    file.close();

    QByteArray kept;
    kept.reserve(content.size());
    bool removed = false;
    int start = 0;
    while (start < content.size()) {
        int end = content.indexOf('\n', start);
        const bool terminated = end >= 0;
        if (!terminated)
            end = content.size();
        QByteArray line = content.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        const int next = terminated ? end + 1 : end;
        const QString text = gbk()->toUnicode(line);
        if (!line.isEmpty() && text.section(separator, 0, 0) == word) {
            removed = true;
            // A last line without a line end goes with the one before it.
            if (!terminated && kept.endsWith('\n')) {
                kept.chop(1);
                if (kept.endsWith('\r'))
                    kept.chop(1);
            }
        } else {
            kept += content.mid(start, next - start);
        }
        start = next;
    }
    if (!removed)
        return;

    FileWriter::write(path, kept, "Custom command words");
}

QString CustomCommandEditor::browseStartFolder() {
    const QString root = QDir::rootPath();
    return root == QLatin1String("/") ? QDir::homePath() : root;
}

void CustomCommandEditor::browseFolder() {
    const QString folder = QFileDialog::getExistingDirectory(this, tr("浏览文件夹"), browseStartFolder());
    if (!folder.isEmpty())
        ui->folderEdit->setText(folder);
}

void CustomCommandEditor::browseFile() {
    const QString file = QFileDialog::getOpenFileName(
        this, tr("浏览文件"), browseStartFolder(),
        tr("Text files (*.txt *.exe);;Images (*.png *.xpm *.jpg);;All Files (*.*)"));
    if (!file.isEmpty())
        ui->fileEdit->setText(file);
}

void CustomCommandEditor::highlightDefinedRow(int row) {
    ui->definedWordsTable->selectRow(row);
    ui->definedWordsTable->setStyleSheet(QStringLiteral(
        "QTableWidget::item:selected{background-color: rgb(61, 102, 98); color: rgb(255, 255, 255);}"));
}

void CustomCommandEditor::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_dragOffset = event->globalPos() - frameGeometry().topLeft();
    QDialog::mousePressEvent(event);
}

void CustomCommandEditor::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::LeftButton)
        move(event->globalPos() - m_dragOffset);
    QDialog::mouseMoveEvent(event);
}
