#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

namespace Sylvan::Detail {

class ElementImpl;

// Writes the tree under root as a UTF-8 XML text with an XML declaration.
// False, with a reason in error, when an element name is not a valid XML name.
bool WriteXml(const ElementImpl &root, QByteArray &out, QString *error);

// The text with the characters XML 1.0 cannot carry removed (control
// characters other than tab, line feed and carriage return, unpaired
// surrogates, U+FFFE and U+FFFF). Written as they are, they would make the
// whole file unreadable.
QString XmlSafeText(const QString &text);

} // namespace Sylvan::Detail
