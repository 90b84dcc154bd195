#include "tests/support/gbk.h"

#include <iconv.h>

namespace testsupport {

std::optional<std::string> toGbk(std::string_view utf8)
{
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string in(utf8), out(utf8.size() * 2 + 4, '\0');
    char* inp = in.data();
    char* outp = out.data();
    size_t inleft = in.size(), outleft = out.size();
    const size_t r = iconv(cd, &inp, &inleft, &outp, &outleft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1) || inleft != 0)
        return std::nullopt;
    out.resize(out.size() - outleft);
    return out;
}

int gbkWidth(std::string_view utf8)
{
    const auto g = toGbk(utf8);
    return g ? static_cast<int>(g->size()) : -1;
}

int gbkWidth(const QString& text)
{
    const QByteArray u = text.toUtf8();
    return gbkWidth(std::string_view(u.constData(), static_cast<size_t>(u.size())));
}

std::vector<std::string_view> lines(std::string_view text)
{
    std::vector<std::string_view> out;
    size_t start = 0;
    for (;;) {
        const size_t cr = text.find('\r', start);
        if (cr == std::string_view::npos) {
            out.push_back(text.substr(start));
            return out;
        }
        out.push_back(text.substr(start, cr - start));
        start = cr + 1;
    }
}

QString q(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace testsupport
