#include "ansi.h"

#include "formserror.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace forms {

namespace {
constexpr const char *CodePage = "windows-1251";
}

std::optional<QByteArray> toAnsi(const QString &text)
{
    QStringEncoder encoder(CodePage, QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        throw FormsError(QStringLiteral("The Windows-1251 code page is not available"));
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    // ICU maps what it cannot hold to a substitute instead of failing, so check the way back too.
    QStringDecoder decoder(CodePage, QStringConverter::Flag::Stateless);
    if (QString(decoder.decode(bytes)) != text)
        return std::nullopt;
    return bytes;
}

QString fromAnsi(const QByteArray &bytes)
{
    QStringDecoder decoder(CodePage, QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        throw FormsError(QStringLiteral("The Windows-1251 code page is not available"));
    return decoder.decode(bytes);
}

} // namespace forms
