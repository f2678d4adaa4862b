#include "pictures/LoadFailure.h"

const char* loadFailureText(LoadFailure failure)
{
    switch (failure) {
    case LoadFailure::Missing:
        return "no such file";
    case LoadFailure::Directory:
        return "a directory";
    case LoadFailure::NotAFile:
        return "not a regular file";
    case LoadFailure::Unreadable:
        return "cannot be read";
    case LoadFailure::Empty:
        return "empty";
    case LoadFailure::FileTooLarge:
        return "file too large";
    case LoadFailure::PictureTooLarge:
        return "picture too large";
    case LoadFailure::HtmlPage:
        return "an HTML page";
    case LoadFailure::NotAPicture:
        return "not a picture";
    case LoadFailure::CutOff:
        return "cut off";
    case LoadFailure::Damaged:
        return "damaged";
    }
    return "not a picture";
}

bool isHtmlPage(const QByteArray& bytes)
{
    // A UTF-8 byte order mark may come first; only the first few hundred bytes are looked at.
    QByteArray start = bytes.left(512);
    if (start.startsWith("\xEF\xBB\xBF"))
        start.remove(0, 3);
    start = start.trimmed().left(16).toLower();
    for (const char* opening : {"<!doctype html", "<html", "<head", "<body", "<title"}) {
        if (start.startsWith(opening))
            return true;
    }
    return false;
}
