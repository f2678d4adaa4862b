#include "tools/KnownCometsDlg.h"

#include "analysis/sky/CometOrbit.h"
#include "platform/Desktop.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CKnownCometsDlg::CKnownCometsDlg(const QString& text, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("已知彗星"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(tr("彗星的轨道根数，每行一颗，采用小行星中心的单行格式（CometEls.txt）："), this));
    m_elements = new QPlainTextEdit(text, this);
    m_elements->setObjectName(QStringLiteral("elements"));
    m_elements->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_elements->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(m_elements, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* load = buttons->addButton(tr("载入文件..."), QDialogButtonBox::ActionRole);
    layout->addWidget(buttons);
    resize(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 170, 360);

    connect(load, &QPushButton::clicked, this, &CKnownCometsDlg::load);
    connect(buttons, &QDialogButtonBox::accepted, this, &CKnownCometsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString CKnownCometsDlg::text() const
{
    return m_elements->toPlainText();
}

void CKnownCometsDlg::load()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("载入彗星轨道根数"));
    if (path.isEmpty())
        return;
    QFile file(path);
    // Elements files are small; anything large is not one.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 16 * 1024 * 1024) {
        Desktop::instance().messageBox(tr("无法读取文件 %1").arg(path));
        return;
    }
    m_elements->setPlainText(QString::fromUtf8(file.readAll()));
}

void CKnownCometsDlg::accept()
{
    QStringList rejected;
    cometsFromText(text(), &rejected);
    if (!rejected.isEmpty())
        Desktop::instance().messageBox(
            tr("有 %1 行不是彗星的轨道根数，已略过：%2").arg(rejected.size()).arg(rejected.first()));
    QDialog::accept();
}
