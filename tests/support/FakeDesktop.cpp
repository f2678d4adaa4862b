#include "FakeDesktop.h"

FakeDesktop::FakeDesktop()
{
    Desktop::install(this);
}

FakeDesktop::~FakeDesktop()
{
    Desktop::install(nullptr);
}

void FakeDesktop::messageBox(const QString& text)
{
    messages << text;
    if (onMessage)
        onMessage(text);
}

std::optional<QStringList> FakeDesktop::choosePictureFiles()
{
    ++fileDialogs;
    if (m_fileAnswers.empty())
        return std::nullopt;
    const FileAnswer answer = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    if (!answer.ok)
        return std::nullopt;
    return answer.paths;
}

std::optional<QString> FakeDesktop::chooseSaveFile()
{
    return saveAs;
}

void FakeDesktop::openLink(const QString& target)
{
    links << target;
}
