#include "tools/FetchDlg.h"

#include "feeds/FetchSettings.h"
#include "platform/Desktop.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>

namespace {

QDateTimeEdit* utcTimeEdit(const QDateTime& at, QWidget* parent)
{
    auto* edit = new QDateTimeEdit(parent);
    edit->setTimeSpec(Qt::UTC);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm 'UT'"));
    edit->setCalendarPopup(true);
    edit->setDateTime(at);
    return edit;
}

} // namespace

CFetchDlg::CFetchDlg(const FetchRequest& initial, QWidget* parent) : QDialog(parent), m_request(initial)
{
    setWindowTitle(tr("获取图片"));
    auto* form = new QFormLayout(this);

    m_feed = new QComboBox(this);
    m_feed->setObjectName(QStringLiteral("feed"));
    int widestSource = 0;
    for (const Feed& feed : allFeeds()) {
        m_feed->addItem(QLatin1String(feed.title), int(feed.kind));
        m_sources[feed.kind] = feedSource(feed).toString();
        widestSource =
            std::max(widestSource, fontMetrics().horizontalAdvance(QLatin1String(feed.defaultUrl)));
    }
    m_sources[initial.feed.kind] = initial.base.toString();
    m_feed->setCurrentIndex(m_feed->findData(int(initial.feed.kind)));
    form->addRow(tr("图片来源："), m_feed);

    m_size = new QComboBox(this);
    m_size->setObjectName(QStringLiteral("size"));
    m_size->addItem(QStringLiteral("1024 × 1024"), 1024);
    m_size->addItem(QStringLiteral("512 × 512"), 512);
    m_size->setCurrentIndex(m_size->findData(initial.size));
    form->addRow(tr("图片大小："), m_size);

    const QDateTime now = QDateTime::currentDateTimeUtc();
    m_latest = new QRadioButton(tr("最新的"), this);
    m_latest->setObjectName(QStringLiteral("latest"));
    m_count = new QSpinBox(this);
    m_count->setObjectName(QStringLiteral("count"));
    m_count->setRange(1, maxFrames);
    m_count->setValue(std::clamp(initial.last, 1, maxFrames));
    m_count->setSuffix(tr(" 幅"));
    auto* latestRow = new QHBoxLayout;
    latestRow->addWidget(m_latest);
    latestRow->addWidget(m_count);
    latestRow->addStretch();
    form->addRow(tr("图片："), latestRow);

    m_between = new QRadioButton(tr("从"), this);
    m_between->setObjectName(QStringLiteral("between"));
    m_from = utcTimeEdit(initial.from.value_or(now.addSecs(-2 * 3600)), this);
    m_from->setObjectName(QStringLiteral("from"));
    m_to = utcTimeEdit(initial.upTo.isValid() ? initial.upTo : now, this);
    m_to->setObjectName(QStringLiteral("to"));
    auto* betweenRow = new QHBoxLayout;
    betweenRow->addWidget(m_between);
    betweenRow->addWidget(m_from);
    betweenRow->addWidget(new QLabel(tr("到"), this));
    betweenRow->addWidget(m_to);
    form->addRow(QString(), betweenRow);
    (initial.from ? m_between : m_latest)->setChecked(true);

    m_library = new QLineEdit(initial.library, this);
    m_library->setObjectName(QStringLiteral("library"));
    auto* browse = new QPushButton(tr("浏览..."), this);
    auto* libraryRow = new QHBoxLayout;
    libraryRow->addWidget(m_library, 1);
    libraryRow->addWidget(browse);
    form->addRow(tr("图片库："), libraryRow);

    m_source = new QLineEdit(this);
    m_source->setObjectName(QStringLiteral("source"));
    m_source->setMinimumWidth(widestSource + 24);
    form->addRow(tr("档案地址："), m_source);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &CFetchDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &CFetchDlg::browseLibrary);
    connect(m_source, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_sources[FeedKind(m_feed->currentData().toInt())] = text; });
    connect(m_feed, &QComboBox::currentIndexChanged, this, &CFetchDlg::feedChosen);
    const auto chooseBetween = [this] { m_between->setChecked(true); };
    connect(m_from, &QDateTimeEdit::dateTimeChanged, this, chooseBetween);
    connect(m_to, &QDateTimeEdit::dateTimeChanged, this, chooseBetween);
    connect(m_count, &QSpinBox::valueChanged, this, [this] { m_latest->setChecked(true); });
    feedChosen();
}

void CFetchDlg::feedChosen()
{
    const FeedKind kind = FeedKind(m_feed->currentData().toInt());
    m_source->setText(m_sources[kind]);
    // Only LASCO's browse frames come in two sizes.
    m_size->setEnabled(feedOf(kind).sized);
}

void CFetchDlg::browseLibrary()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("图片库"), m_library->text());
    if (!folder.isEmpty())
        m_library->setText(folder);
}

void CFetchDlg::accept()
{
    const QUrl source = QUrl::fromUserInput(m_source->text().trimmed());
    QString problem;
    if (!source.isValid() || source.isRelative())
        problem = tr("请输入档案的网址。");
    else if (m_library->text().trimmed().isEmpty())
        problem = tr("请选择存放图片的文件夹。");
    else if (m_between->isChecked() && m_from->dateTime() > m_to->dateTime())
        problem = tr("开始时间晚于结束时间。");
    if (!problem.isEmpty()) {
        Desktop::instance().messageBox(problem);
        return; // the dialog stays open
    }
    m_request.feed = feedOf(FeedKind(m_feed->currentData().toInt()));
    m_request.size = m_size->currentData().toInt();
    m_request.base = source;
    m_request.library = m_library->text().trimmed();
    m_request.last = m_count->value();
    m_request.from.reset();
    m_request.upTo = QDateTime();
    if (m_between->isChecked()) {
        m_request.from = m_from->dateTime();
        m_request.upTo = m_to->dateTime();
    }
    setFrameLibrary(m_request.library);
    setFeedSource(m_request.feed, source);
    rememberFetchRequest(m_request);
    QDialog::accept();
}
