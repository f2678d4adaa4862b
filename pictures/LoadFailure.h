#pragma once

#include <QByteArray>

// Why a file or a buffer gave no picture. The window skips such a file without a word; the
// command line names it with the reason's text.
enum class LoadFailure
{
    Missing,         // no file at that path
    Directory,       // the path names a directory
    NotAFile,        // a pipe, a device or anything else that is no regular file
    Unreadable,      // the file could not be opened or read whole
    Empty,           // no bytes at all
    FileTooLarge,    // more bytes than a picture file is allowed (refused before reading)
    PictureTooLarge, // decoded pixels that would take too much memory
    HtmlPage,        // a web page, as a server sends in place of a missing frame
    NotAPicture,     // content of no kind the program reads
    CutOff,          // a picture whose file ends before the picture does
    Damaged,         // a picture of a known kind that its decoder cannot read
};

// The reason in a few English words, for a message such as "skyrake: PATH: cut off".
const char* loadFailureText(LoadFailure failure);

// Whether the bytes begin, after white space, with the start of an HTML document ("<!DOCTYPE
// html", "<html", "<head", "<body" or "<title", in any case).
bool isHtmlPage(const QByteArray& bytes);
