#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <memory>

namespace Sylvan::Detail {

class ElementImpl;

// Parses a whole XML text into a new tree. Returns nullptr, with a reason in
// error, when the text is not a well-formed document or uses what the side
// files never need and a hostile file could abuse (document type
// declarations, entities, very deep nesting).
std::unique_ptr<ElementImpl> ReadXml(const QByteArray &content, QString *error);

} // namespace Sylvan::Detail
