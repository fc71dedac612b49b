#include "ui/FirstRunHint.h"
#include "ui_FirstRunHint.h"

#include <QEvent>

#include "app/AutoStart.h"
#include "app/ConfigStore.h"
#include "app/SpeechEngineSettings.h"
#include "ui/FirstRunSteps.h"

FirstRunHint::FirstRunHint(QWidget* parent, StartAtLogon* startAtLogon)
    : QWidget(parent), ui(new Ui::FirstRunHint), m_startAtLogon(startAtLogon) {
    ui->setupUi(this);
    connect(ui->okButton, &QPushButton::clicked, this, &FirstRunHint::showSteps);
    connect(ui->startAtLogonCheck, &QCheckBox::stateChanged, this, &FirstRunHint::setStartAtLogon);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    raise();
    // Without a speech server only English can be recognised: say so, and where to set one.
    if (SpeechEngineSettings::fromServicesConfig().usesServer()) {
        ui->speechHintLabel->hide();
        ui->okButton->move(150, 205);
        resize(400, 270);
    }
    // Registers start at logon right away, as the settings dialog's box does.
    ui->startAtLogonCheck->setChecked(true);
}

FirstRunHint::~FirstRunHint() {
    delete ui;
}

void FirstRunHint::setStartAtLogon(int state) {
    ConfigStore& store = ConfigStore::instance();
    if (state == Qt::Checked) {
        store["BootUp"] = 1;
        setAutoStart(true, m_startAtLogon);
    } else if (state == Qt::Unchecked) {
        store["BootUp"] = 0;
        setAutoStart(false, m_startAtLogon);
    }
    store.save();
}

void FirstRunHint::showSteps() {
    hide();
    if (!m_instructions)
        m_instructions = new FirstRunSteps(this);
    m_instructions->show();
}

void FirstRunHint::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
