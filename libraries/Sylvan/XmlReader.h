#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include "Sylvan/ElementTree.h"

#include <memory>

namespace Sylvan::Detail {

class ElementArena;

// Parses a whole XML text into a new tree, whose elements live in the arena. Returns nullptr, with a reason
// in error, when the text is not a well-formed document or uses what the side files never need and a hostile
// file could abuse (document type declarations, entities, very deep nesting).
ElementOwner ReadXml(const QByteArray &content, ElementArena &arena, QString *error);

} // namespace Sylvan::Detail
