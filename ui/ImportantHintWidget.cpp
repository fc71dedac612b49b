#include "ui/ImportantHintWidget.h"
#include "ui_ImportantHintWidget.h"

#include "app/AutoStart.h"
#include "app/ConfigStore.h"
#include "ui/InstruductionsWidget.h"

ImportantHintWidget::ImportantHintWidget(QWidget* parent, StartAtLogon* startAtLogon)
    : QWidget(parent), ui(new Ui::ImportantHintWidget), m_startAtLogon(startAtLogon) {
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    raise();
    // Registers start at logon right away, as the settings dialog's box does.
    ui->checkBox->setChecked(true);
}

ImportantHintWidget::~ImportantHintWidget() {
    delete ui;
}

void ImportantHintWidget::on_checkBox_stateChanged(int arg1) {
    ConfigStore& store = ConfigStore::instance();
    if (arg1 == Qt::Checked) {
        store["BootUp"] = 1;
        setAutoStart(true, m_startAtLogon);
    } else if (arg1 == Qt::Unchecked) {
        store["BootUp"] = 0;
        setAutoStart(false, m_startAtLogon);
    }
    store.save();
}

void ImportantHintWidget::on_pushButton_clicked() {
    hide();
    if (!m_instructions)
        m_instructions = new InstruductionsWidget(this);
    m_instructions->show();
}
