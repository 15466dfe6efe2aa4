#pragma once

#include <QRandomGenerator>
#include <QString>

// Text a user might type or paste, drawn from a seeded generator: Latin, Thai with its combining marks,
// right-to-left scripts, emoji beyond the basic plane, and the odd control character.
namespace stress {

// A string of `length` characters that a keyboard can type one key at a time (no control characters).
QString typedText(QRandomGenerator& random, int length);

// Anything at all, `length` UTF-16 units long: also control characters, nulls and lone surrogates.
QString anyText(QRandomGenerator& random, int length);

// A string whose UTF-8 form is exactly `bytes` bytes long, in many scripts.
QString textOfUtf8Size(QRandomGenerator& random, qsizetype bytes);

} // namespace stress
