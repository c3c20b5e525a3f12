#pragma once
// The reply parser is lenient: the end of the text closes whatever is still
// open, so a reply cut off in the middle of a module element yields a module
// whose last value is cut ("…/pk/A."). This looks at the raw text to tell
// whether it ends inside a child element of the root.
#include <QByteArray>

namespace ReplyCompleteness {

// True when `xml` ends before the last child element of its root is complete:
// inside its start tag (a name or a value included), or inside its content
// before its end tag. Text, comments and processing instructions between
// complete children do not count; nothing after the root's end tag is looked at.
bool EndsInsideModule(const QByteArray& xml);

} // namespace ReplyCompleteness
