// libFuzzer target: the readers of icon bytes from bookmark files, pages and servers, on
// arbitrary bytes taken as a data address, as a downloaded file and as a page. Nothing kept is
// larger than the limit or of a type its first bytes do not name; what is kept writes out and
// reads back the same.
#include "icons/data_uri.h"
#include "icons/ico_file.h"
#include "network/icon_fetcher.h"
#include "network/icon_links.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

void CheckKept(const CLinkIcon& icon)
{
    IconType type;
    Check(icon.Bytes().size() <= CLinkIcon::kMaxBytes);
    Check(SniffIconType(icon.Bytes(), type) && type == icon.Type());
    std::shared_ptr<const CLinkIcon> again = IconFromDataUri(IconDataUri(icon));
    Check(again && *again == icon);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);

    // A small limit too, so that the limit's edge is reached by small inputs.
    for (std::size_t limit : {std::size_t(64), CLinkIcon::kMaxBytes}) {
        std::string bytes;
        if (DecodeBase64DataUri(input, limit, bytes)) {
            Check(bytes.size() <= limit);
            std::string encoded(Base64Length(bytes.size()), '\0');
            encoded.resize(EncodeBase64(reinterpret_cast<const unsigned char*>(bytes.data()),
                                        bytes.size(), &encoded[0]));
            std::string again;
            Check(DecodeBase64DataUri("data:;base64," + encoded, limit, again) && again == bytes);
        }
    }
    if (std::shared_ptr<const CLinkIcon> icon = IconFromDataUri(input)) CheckKept(*icon);

    IconFetchOutcome judged = JudgeIconFile(input, false, 64 * 1024);
    Check((judged.result == IconFetchResult::Kept) == (judged.icon != nullptr));
    if (judged.icon) CheckKept(*judged.icon);

    std::string reduced = ReduceIco(input, CLinkIcon::kMaxBytes);
    if (!reduced.empty()) {
        IconType type;
        Check(reduced.size() <= CLinkIcon::kMaxBytes && reduced.size() <= input.size());
        Check(SniffIconType(reduced, type) && type == IconType::Ico);
    }

    // The page scan sets up the tokenizer's large buffer, which costs far more than the rest: only
    // inputs that open with a tag are taken as pages.
    if (!input.empty() && input[0] == '<') {
        for (const std::string& href : FindIconLinks(input))
            Check(!href.empty() && href.size() <= input.size());
    }
    return 0;
}
