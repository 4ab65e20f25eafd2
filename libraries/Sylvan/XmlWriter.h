#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

namespace Sylvan::Detail {

class ElementImpl;

// Writes the tree under root as a UTF-8 XML text with an XML declaration.
// Characters XML 1.0 cannot carry (control characters other than tab, line
// feed and carriage return, unpaired surrogates, U+FFFE and U+FFFF) are
// dropped: written as they are, they would make the whole file unreadable.
// False, with a reason in error, when an element or attribute name is not a
// valid XML name.
bool WriteXml(const ElementImpl &root, QByteArray &out, QString *error);

} // namespace Sylvan::Detail
