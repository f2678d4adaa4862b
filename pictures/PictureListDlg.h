#pragma once

#include "pictures/PictureList.h"

#include <QDialog>

class QListWidget;

// The picture list: the names of the loaded pictures in sequence order, an Import button that
// adds pictures of the reference size, and Delete. Works directly on the view's sequence, so
// every import and deletion stays whichever button closes the dialog.
class CPictureListDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CPictureListDlg(PictureList* pictures, QWidget* parent = nullptr);

    PictureList* m_pPictures;    // the view's sequence; not owned
    POSITION m_selPos = nullptr; // node of the last selection change
    int m_refWidth = 0;          // reference size, HIMETRIC
    int m_refHeight = 0;
    QListWidget* m_list = nullptr; // list box 1000

    void OnSelchangeList();
    void OnImport();
    void OnDelete();
    // The size rule of the Import button: the first picture of an empty reference becomes the
    // reference; others may differ from it by at most 100 HIMETRIC units either way.
    bool checkSize(const Picture& picture);

private:
    // Fills the list from the sequence, head to tail; no row is selected afterwards.
    void fillList();
    // The selected row, or -1.
    int selectedRow() const;
};
