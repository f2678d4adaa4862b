#pragma once

#include <QString>
#include <QTextStream>

#include <span>

class SkyrakeWork;
struct Candidate;

// The command line's second look: each candidate of a scan looked for in another camera's frames
// of the same hours (the files of `folder`), where the camera seeing it from its own place
// would show it. Prints, for each candidate seen there too, its lines on those frames as the
// scan prints its own ("N<TAB>NAME<TAB>X<TAB>Y<TAB>SCORE"), and on standard error for each
// candidate whether it was seen, how far from where it was expected, or why it was not looked
// for. Returns the number of candidates seen there.
int confirmInOtherCamera(const SkyrakeWork& scanned, std::span<const Candidate> found, const QString& folder,
                         QTextStream& out);
