#pragma once
// The reply parser is lenient: the end of the text closes whatever is still
// open, so a reply cut off in the middle of a module element yields a module
// whose last value is cut ("…/pk/A."). This looks at the raw text to tell
// how far the reply got: whether its root ended, and how many children of the
// root ended before the text did.
#include <QByteArray>

namespace ReplyCompleteness {

struct Shape
{
    // The root's end tag was read (or the root is an empty-element tag): the
    // text is a whole document, whatever follows it.
    bool rootEnded = false;
    // Children of the root whose end (end tag or "/>") lies inside the text,
    // in document order. In a cut reply these are the ones that can be
    // trusted; the element the cut falls in, if any, comes after them.
    int completeModules = 0;
};

// Text, comments, CDATA, processing instructions and declarations are skipped
// (quoted attribute values may hold '>' and '/'); nothing after the root's end
// is looked at.
Shape Measure(const QByteArray& xml);

} // namespace ReplyCompleteness
