#include "ui/FirstRunHint.h"
#include "ui_FirstRunHint.h"

#include "app/AutoStart.h"
#include "app/ConfigStore.h"
#include "ui/FirstRunSteps.h"

FirstRunHint::FirstRunHint(QWidget* parent, StartAtLogon* startAtLogon)
    : QWidget(parent), ui(new Ui::FirstRunHint), m_startAtLogon(startAtLogon) {
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    raise();
    // Registers start at logon right away, as the settings dialog's box does.
    ui->checkBox->setChecked(true);
}

FirstRunHint::~FirstRunHint() {
    delete ui;
}

void FirstRunHint::on_checkBox_stateChanged(int arg1) {
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

void FirstRunHint::on_pushButton_clicked() {
    hide();
    if (!m_instructions)
        m_instructions = new FirstRunSteps(this);
    m_instructions->show();
}
