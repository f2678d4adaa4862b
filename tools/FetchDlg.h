#pragma once

#include "feeds/FrameFetch.h"

#include <QDialog>

class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QRadioButton;
class QSpinBox;

// File > 获取图片: which frames to fetch (feed, size, the latest N or every frame between two
// UT times), where the frame library is and the feed's archive address. OK checks the choice and
// keeps the dialog open, with a message, where it can't be fetched.
class CFetchDlg : public QDialog
{
    Q_OBJECT
public:
    // The most frames one request may ask for: a day of C3 at its usual cadence.
    static constexpr int maxFrames = 200;

    explicit CFetchDlg(const FetchRequest& initial, QWidget* parent = nullptr);

    // The request as chosen, once the dialog was ended with OK.
    const FetchRequest& request() const { return m_request; }
    void accept() override;

private:
    void feedChosen();
    void browseLibrary();

    FetchRequest m_request;
    QComboBox* m_feed = nullptr;
    QComboBox* m_size = nullptr;
    QRadioButton* m_latest = nullptr;
    QSpinBox* m_count = nullptr;
    QRadioButton* m_between = nullptr;
    QDateTimeEdit* m_from = nullptr;
    QDateTimeEdit* m_to = nullptr;
    QLineEdit* m_library = nullptr;
    QLineEdit* m_source = nullptr;
    std::map<FeedKind, QString> m_sources; // each feed's address as last edited here
};
