// Fuzzes the entry file format. Reading takes any bytes without crashing; an entry read from any
// bytes, written out again and read back gives the same values, and writing those values again
// gives the same bytes. A write may refuse text Windows-1251 cannot hold, and nothing else.

#include <entryfile.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "entry file fuzzer: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const Entry read = decodeEntry(bytes);
    for (const QString &value : {read.picture, read.description, read.name})
        check(!value.contains(u'\r') && !value.contains(u'\n'), "a value read holds a line break");

    QByteArray written;
    try {
        written = encodeEntry(read);
    } catch (const EntryFileError &e) {
        check(e.reason() == EntryFileError::Reason::NotAnsi, "a write failed for another reason than the code page");
        return 0;
    }
    check(written.endsWith("\r\n") && written.count('\n') == 3 && written.count('\r') == 3,
          "a written entry is not three lines ending in CR LF");
    const Entry again = decodeEntry(written);
    check(again == read, "an entry written and read back differs");
    check(encodeEntry(again) == written, "writing an entry read back gives other bytes");
    return 0;
}
