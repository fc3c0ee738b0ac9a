// Addresses from outside: the key that tells two spellings of one address apart from two
// addresses, and the quillomere: addresses a browser hands over, with the limit on how many a
// minute are taken.
#include "network/address_key.h"
#include "network/quillomere_address.h"
#include "persist/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(AddressKeyTest, SpellingsABrowserTakesToOneAddressShareAKey)
{
    const std::vector<std::vector<std::wstring>> same = {
        {L"http://example.com/", L"HTTP://Example.COM", L"http://example.com:80/",
         L"  http://example.com/./\n", L"http:\\\\example.com\\", L"http://user:pw@example.com/"},
        {L"https://a.example/p?x=1&amp;y=2", L"https://a.example:443/p?x=1&y=2",
         L"https://a.example/q/../p?x=1&#38;y=2", L"https://a.example/p?x=1&#x26;y=2"},
        {L"http://b\u00fccher.example/caf\u00e9#s\u00e9e",
         L"http://XN--BCHER-KVA.example/caf%C3%A9#s%C3%A9e",
         L"http://B\u00fcCHER.example/caf&eacute;#s&eacute;e"},
        {L"https://c.example/a b", L"https://c.example/a%20b"},
        {L"MAILTO:me@example.com", L"mailto:me@example.com", L"mailto:me@example.com "},
    };
    for (const auto& spellings : same) {
        const std::string key = AddressKey(spellings[0]);
        for (const std::wstring& spelling : spellings)
            EXPECT_EQ(AddressKey(spelling), key) << ToUtf8(spelling);
    }
    EXPECT_EQ(AddressKey(L"HTTP://Example.COM"), "http://example.com/");
    EXPECT_EQ(AddressKey(L"https://a.example/p#top"), "https://a.example/p#top");
    EXPECT_EQ(AddressKey(L""), "");
}

TEST(AddressKeyTest, WhatABrowserKeepsApartStaysApart)
{
    const std::vector<std::wstring> different = {
        L"http://example.com/",
        L"https://example.com/",
        L"http://example.com:8080/",
        L"https://example.com:80/",
        L"http://example.com/Page",
        L"http://example.com/page",
        L"http://example.com/?",
        L"http://example.com/#",
        L"http://example.com/#a",
        L"http://example.com/?q=A",
        L"http://example.com/?q=a",
        L"http://www.example.com/",
        L"mailto:Me@example.com",
        L"mailto:me@example.com",
        L"page.html",
        L"Page.html",
        L"ftp://example.com/",
        L"http://",
    };
    for (std::size_t i = 0; i < different.size(); ++i)
        for (std::size_t j = i + 1; j < different.size(); ++j)
            EXPECT_NE(AddressKey(different[i]), AddressKey(different[j]))
                << ToUtf8(different[i]) << " and " << ToUtf8(different[j]);
}

TEST(AddRequestTest, AnAddGivesTheAddressAndTheTitleAsPlainText)
{
    AddRequest request =
        ParseAddRequest(std::wstring_view(L"quillomere:add?url=https%3A%2F%2Fexample.com%2Fa%3Fb%"
                                          L"3D1%26c%3D2&title=Caf%C3%A9+%3Cb%3E%26amp%3B"));
    ASSERT_EQ(request.status, AddRequestStatus::Add);
    EXPECT_EQ(request.url, L"https://example.com/a?b=1&c=2");
    EXPECT_EQ(request.title, L"Caf\u00e9 <b>&amp;");

    // Spellings browsers and systems may hand over; other parameters and a fragment ignored,
    // the first of a name counts, and no title is no title.
    for (const wchar_t* argument :
         {L"QUILLOMERE:ADD?url=http://a.example/&title=A",
          L"quillomere://add/?url=http://a.example/&title=A",
          L"  quillomere:add?from=x&url=http%3A//a.example/&title=A&url=https://b.example/#frag",
          L"quillomere:add?title=A&title=B&url=http://a.example/"}) {
        request = ParseAddRequest(std::wstring_view(argument));
        EXPECT_EQ(request.status, AddRequestStatus::Add) << ToUtf8(argument);
        EXPECT_EQ(request.url, L"http://a.example/") << ToUtf8(argument);
        EXPECT_EQ(request.title, L"A") << ToUtf8(argument);
    }
    request = ParseAddRequest(std::string_view("quillomere:add?url=https://a.example/&title=+%20"));
    EXPECT_EQ(request.status, AddRequestStatus::Add);
    EXPECT_EQ(request.title, L"");
}

TEST(AddRequestTest, TheBookmarkletsEncodingReadsBackWhateverTheTextHolds)
{
    const std::wstring url = L"https://example.com/a b/%41?q=1+2&r=\u00e9#x=\U0001F600";
    const std::wstring title = L"100% & more = \"+\" 'quoted' #1 \u65e5\u672c \U0001F600 (x)";
    const std::wstring address = MakeAddAddress(url, title);
    // Nothing in it that a browser or a command line would take apart: one '&' between the two.
    EXPECT_EQ(address.find_first_of(L" #+\"<>"), std::wstring::npos);
    EXPECT_EQ(address.find(L'&'), address.rfind(L'&'));
    const AddRequest request = ParseAddRequest(std::wstring_view(address));
    ASSERT_EQ(request.status, AddRequestStatus::Add);
    EXPECT_EQ(request.url, url);
    EXPECT_EQ(request.title, title);
}

TEST(AddRequestTest, TitlesAreCutTo300CharactersNeverInsideOne)
{
    std::wstring title;
    for (int i = 0; i < 150; ++i)
        title += L"\u00e9\U0001F600";
    title += L"beyond";
    const AddRequest request =
        ParseAddRequest(std::wstring_view(MakeAddAddress(L"http://a.example/", title)));
    ASSERT_EQ(request.status, AddRequestStatus::Add);
    const std::string bytes = ToUtf8(request.title);
    EXPECT_EQ(bytes.size(), 150u * (2 + 4));
    EXPECT_EQ(request.title, title.substr(0, title.size() - 6));
}

TEST(AddRequestTest, EveryHostileFormIsRefusedWithItsOwnReason)
{
    const std::string okUrl = "url=https%3A%2F%2Fa.example%2F";
    const std::string longPath(kMaxAddressBytes - std::string("https://a.example/").size(), 'a');
    const struct
    {
        std::string argument;
        AddRequestStatus status;
    } cases[] = {
        {"", AddRequestStatus::NotQuillomere},
        {"https://a.example/", AddRequestStatus::NotQuillomere},
        {"quillomerex:add?" + okUrl, AddRequestStatus::NotQuillomere},
        {"quillomere:remove?" + okUrl, AddRequestStatus::UnknownVerb},
        {"quillomere:?" + okUrl, AddRequestStatus::UnknownVerb},
        {"quillomere:adder?" + okUrl, AddRequestStatus::UnknownVerb},
        {"quillomere:add", AddRequestStatus::NoAddress},
        {"quillomere:add?title=A", AddRequestStatus::NoAddress},
        {"quillomere:add?url=%20&title=A", AddRequestStatus::NoAddress},
        {"quillomere:add?url=javascript%3Aalert(1)", AddRequestStatus::NotWebAddress},
        {"quillomere:add?url=JavaScript:alert(1)//http://a.example/",
         AddRequestStatus::NotWebAddress},
        {"quillomere:add?url=data%3Atext%2Fhtml%2C%3Cscript%3E", AddRequestStatus::NotWebAddress},
        {"quillomere:add?url=file%3A%2F%2F%2Fc%3A%2Fx", AddRequestStatus::NotWebAddress},
        {"quillomere:add?url=ftp%3A%2F%2Fa.example%2F", AddRequestStatus::NotWebAddress},
        {"quillomere:add?url=%2Fa.example%2F", AddRequestStatus::NotWebAddress},
        {"quillomere:add?url=http%3A%2F%2F", AddRequestStatus::BadAddress},
        {"quillomere:add?url=https%3A%2F%2Fa.example%3A99999%2F", AddRequestStatus::BadAddress},
        {"quillomere:add?url=https://a.example/" + longPath + "a", AddRequestStatus::TooLong},
        {"quillomere:add?url=https://a.example/&title=" + std::string(kMaxRequestBytes, 'a'),
         AddRequestStatus::TooLong},
        {"quillomere:add?" + okUrl + "&title=A\tB", AddRequestStatus::ControlCharacter},
        {"quillomere:add?" + okUrl + "&title=A%0AB", AddRequestStatus::ControlCharacter},
        {"quillomere:add?url=https%3A%2F%2Fa.example%2F%00", AddRequestStatus::ControlCharacter},
        {"quillomere:add?" + okUrl + "&title=%7F", AddRequestStatus::ControlCharacter},
        {"quillomere:add?" + okUrl + "&title=%C2%85", AddRequestStatus::ControlCharacter},
        {"quillomere:add?" + okUrl + "&title=100%", AddRequestStatus::BadPercentEncoding},
        {"quillomere:add?" + okUrl + "&title=%4", AddRequestStatus::BadPercentEncoding},
        {"quillomere:add?url=https%3A%2F%2Fa.example%2F%G1", AddRequestStatus::BadPercentEncoding},
        {"quillomere:add?" + okUrl + "&x%%=1", AddRequestStatus::BadPercentEncoding},
        {"quillomere:add?" + okUrl + "&title=%C3", AddRequestStatus::BadUtf8},
        {"quillomere:add?url=https%3A%2F%2Fa.example%C0%AF", AddRequestStatus::BadUtf8},
        {"quillomere:add?" + okUrl + "&title=%ED%A0%80", AddRequestStatus::BadUtf8},
        {"quillomere:add?" + okUrl + "&title=%FF", AddRequestStatus::BadUtf8},
        {"quillomere:add?" + okUrl + "&title=\xC3(", AddRequestStatus::BadUtf8},
    };
    for (const auto& hostile : cases) {
        const AddRequest request = ParseAddRequest(std::string_view(hostile.argument));
        EXPECT_EQ(request.status, hostile.status) << hostile.argument.substr(0, 120);
        EXPECT_TRUE(request.url.empty());
        EXPECT_NE(std::wstring(AddRefusalReason(hostile.status)), L"");
    }
    // An address of exactly 8 KiB is taken.
    const AddRequest longest =
        ParseAddRequest(std::string_view("quillomere:add?url=https://a.example/" + longPath));
    EXPECT_EQ(longest.status, AddRequestStatus::Add);
    EXPECT_EQ(longest.url.size(), kMaxAddressBytes);
    // A lone surrogate is no text, whatever the width of wchar_t.
    std::wstring lone = L"quillomere:add?url=https://a.example/&title=";
    lone += static_cast<wchar_t>(0xD800);
    EXPECT_EQ(ParseAddRequest(std::wstring_view(lone)).status, AddRequestStatus::BadUtf8);
}

TEST(AddRateLimitTest, TakesTenAMinuteAndCountsTheRest)
{
    using namespace std::chrono;
    steady_clock::time_point now{};
    CAddRateLimit limit([&now] { return now; });
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(limit.Take());
    now += seconds(30);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(limit.Take());
    EXPECT_FALSE(limit.Take());
    now += seconds(29);
    EXPECT_FALSE(limit.Take());
    EXPECT_EQ(limit.Ignored(), 2u);
    // A minute after the first five, their places are free again; the ignored count starts over.
    now += seconds(1);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(limit.Take());
    EXPECT_EQ(limit.Ignored(), 0u);
    EXPECT_FALSE(limit.Take());
    EXPECT_EQ(limit.Ignored(), 1u);
    // The steady clock by default.
    CAddRateLimit real;
    EXPECT_TRUE(real.Take());
}
