#pragma once

#include <QString>

namespace MD5 {

// The MD5 digest of the text's UTF-8 bytes as 32 upper-case hexadecimal digits.
QString md5(const QString& text);

} // namespace MD5
