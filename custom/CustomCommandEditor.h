#pragma once

#include <QDialog>
#include <QPoint>

class NoticeBox;

namespace Ui {
class CustomCommandEditor;
}

// The user's own command words: a word that opens a web address ("webSearch.txt") or a folder or
// file ("commandwords.txt"). Page 0 adds them, page 1 lists and deletes them. Both files are GBK
// with CR LF line ends, as the command interpreter reads them.
class CustomCommandEditor : public QDialog {
    Q_OBJECT
public:
    explicit CustomCommandEditor(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~CustomCommandEditor() override;

    void loadWebCommands();
    void loadFileCommands();
    void browseFolder();
    void browseFile();

    // Removes from the file every record whose text before the first separator is the word, each
    // with the line end after it (a last line without one takes the line end before it). Every
    // other byte stays as it was.
    static void removeRecordLine(const QString& path, QChar separator, const QString& word,
                                 const char* openFailure);

    // Where the browse dialogs start: the system drive's root where there are drive letters,
    // otherwise the user's home folder.
    static QString browseStartFolder();

signals:
    void alreadyDefsig(const QString& type, const QString& word, const QString& content);
    void closeDialog();

public slots:
    void alreadyDef(const QString& str1, const QString& str2, const QString& str3);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showPage(int page);
    void addWebCommand();
    void deleteSelectedWord();
    void highlightDefinedRow(int row);
    void addPathCommand(const QString& type, class QLineEdit* pathField);
    void refuse(const QString& word);
    static QString kindText(const QString& kind);

    Ui::CustomCommandEditor* ui;
    NoticeBox* m_prompt;
    int m_count = 0;
    QPoint m_dragOffset;
};
