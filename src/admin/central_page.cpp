#include "admin/central_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "central/connection_check.h"
#include "central/connection_params.h"
#include "ui/tlie_edit.h"

namespace {

QLineEdit* lineEdit(const char* name, int maxLength, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    return edit;
}

QString fromStd(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

CentralPage::CentralPage(QWidget* parent) : QWidget(parent) {
    setObjectName("TS3");
    auto* layout = new QVBoxLayout(this);
    CBSend = new QCheckBox("Передавать записи в центральную базу", this);
    CBSend->setObjectName("CBSend");
    layout->addWidget(CBSend);
    auto* form = new QFormLayout;
    EdHost = lineEdit("EdHost", 255, this);
    LIEPort = new TLIEdit("Порт", this);
    LIEPort->setObjectName("LIEPort");
    LIEPort->setMinVal(1);
    LIEPort->setMaxVal(65535);
    LIEPort->setFixedWidth(80);
    EdBase = lineEdit("EdBase", 63, this);
    EdUser = lineEdit("EdUser", 63, this);
    EdScale = lineEdit("EdScale", 32, this);
    form->addRow("Сервер", EdHost);
    form->addRow(LIEPort->label(), LIEPort);
    form->addRow("База данных", EdBase);
    form->addRow("Пользователь", EdUser);
    form->addRow("Обозначение весов", EdScale);
    makeEncryption(form);
    layout->addLayout(form);
    auto* note = new QLabel("Пароль в настройках не хранится: программа берет его из файла паролей PostgreSQL "
                            "(PGPASSFILE, по умолчанию ~/.pgpass) или из файла служб.",
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    ButCheck = new QPushButton("Проверить связь", this);
    ButCheck->setObjectName("ButCheck");
    layout->addWidget(ButCheck, 0, Qt::AlignLeft);
    LbVerdict = new QLabel(this);
    LbVerdict->setObjectName("LbVerdict");
    LbVerdict->setWordWrap(true);
    LbVerdict->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(LbVerdict);
    layout->addStretch(1);

    connect(CBSend, &QCheckBox::toggled, this, &CentralPage::edited);
    connect(CBSslMode, &QComboBox::activated, this, &CentralPage::edited);
    for (QLineEdit* edit : {EdHost, EdBase, EdUser, EdScale, EdRootCert}) connect(edit, &QLineEdit::textEdited, this, &CentralPage::edited);
    connect(LIEPort, &TLIEdit::exited, this, [this] {
        if (LIEPort->valModified()) emit edited();
    });
    connect(ButCheck, &QPushButton::clicked, this, &CentralPage::startCheck);
}

// The link is encrypted unless the engineer chooses otherwise; the certificate authority's
// file makes the program check the server's name as well.
void CentralPage::makeEncryption(QFormLayout* form) {
    CBSslMode = new QComboBox(this);
    CBSslMode->setObjectName("CBSslMode");
    CBSslMode->addItem("Обязательно (с проверкой сервера, если указан сертификат)", QString());
    CBSslMode->addItem("Обязательно, без проверки сервера (require)", "require");
    CBSslMode->addItem("Обязательно, проверять сертификат (verify-ca)", "verify-ca");
    CBSslMode->addItem("Обязательно, проверять сертификат и имя сервера (verify-full)", "verify-full");
    CBSslMode->addItem("Без шифрования (disable)", "disable");
    EdRootCert = lineEdit("EdRootCert", 1024, this);
    EdRootCert->setPlaceholderText("файл корневого сертификата (.crt)");
    form->addRow("Шифрование", CBSslMode);
    form->addRow("Корневой сертификат", EdRootCert);
}

// A mode written in the file that the list lacks stays as it is.
void CentralPage::selectSslMode(const QString& mode) {
    int at = CBSslMode->findData(mode);
    if (at < 0) {
        CBSslMode->addItem(mode, mode);
        at = CBSslMode->count() - 1;
    }
    CBSslMode->setCurrentIndex(at);
}

void CentralPage::fill(const zv::CentralSettings& c) {
    const QSignalBlocker block(CBSend);
    CBSend->setChecked(c.Send);
    EdHost->setText(fromStd(c.Host));
    LIEPort->setVal(c.Port);
    EdBase->setText(fromStd(c.Database));
    EdUser->setText(fromStd(c.User));
    EdScale->setText(fromStd(c.Scale));
    selectSslMode(fromStd(c.SslMode));
    EdRootCert->setText(fromStd(c.SslRootCert));
}

zv::CentralSettings CentralPage::values() const {
    zv::CentralSettings c;
    c.Send = CBSend->isChecked();
    c.Host = EdHost->text().trimmed().toStdString();
    c.Port = LIEPort->Val();
    c.Database = EdBase->text().trimmed().toStdString();
    c.User = EdUser->text().trimmed().toStdString();
    c.Scale = EdScale->text().trimmed().toStdString();
    c.SslMode = CBSslMode->currentData().toString().toStdString();
    c.SslRootCert = EdRootCert->text().trimmed().toStdString();
    return c;
}

QString CentralPage::refusal() const {
    if (CBSend->isChecked() && EdScale->text().trimmed().isEmpty())
        return "Укажите обозначение весов на странице \"Центральная база\": без него записи "
               "нельзя передавать в центральную базу.";
    return {};
}

QString CentralPage::verdict() const { return LbVerdict->text(); }

void CentralPage::startCheck() {
    if (checker_) return;
    ButCheck->setEnabled(false);
    LbVerdict->setText("Проверка связи...");
    const zv::central::ConnectionParams params = zv::central::paramsFromSettings(values());
    auto* result = new zv::central::CheckResult;
    QThread* thread = QThread::create([params, result] { *result = zv::central::checkConnection(params); });
    checker_ = thread;
    connect(thread, &QThread::finished, this, [this, thread, result] {
        LbVerdict->setText(result->text);
        ButCheck->setEnabled(true);
        checker_ = nullptr;
        emit checked();
    });
    connect(thread, &QThread::finished, thread, [thread, result] {
        delete result;
        thread->deleteLater();
    });
    thread->start();
}
