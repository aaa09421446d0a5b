#include "Markup.h"

#include <algorithm>

#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace Orvex {

namespace {

enum : unsigned char
{
    NameCharFlag = 1,
    SpaceFlag = 2
};

constexpr std::array<unsigned char, 256> MakeCharTable()
{
    std::array<unsigned char, 256> table{};
    for (auto& entry : table)
        entry = NameCharFlag;
    for (unsigned char c : {' ', '\t', '\n', '\r'})
        table[c] = SpaceFlag;
    for (unsigned char c : {'/', '>', '=', '<', '\'', '"'})
        table[c] = 0;
    return table;
}

constexpr std::array<unsigned char, 256> CharTable = MakeCharTable();

inline bool IsSpace(char c)
{
    return (CharTable[static_cast<unsigned char>(c)] & SpaceFlag) != 0;
}

inline bool IsNameChar(char c)
{
    return (CharTable[static_cast<unsigned char>(c)] & NameCharFlag) != 0;
}

inline bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}

constexpr std::string_view CDataOpen = "<![CDATA[";
constexpr std::string_view CDataClose = "]]>";

struct Entity
{
    std::string_view Name; // without the leading '&', with the ';'
    char Character;
};

constexpr std::array<Entity, 5> Entities{{
    {"lt;", '<'},
    {"amp;", '&'},
    {"gt;", '>'},
    {"apos;", '\''},
    {"quot;", '"'},
}};

// Replaces the five predefined entities; any other '&' stays as it is.
std::string TranslateEntities(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (;;) {
        const std::size_t amp = text.find('&', from);
        if (amp == std::string_view::npos) {
            result.append(text.substr(from));
            return result;
        }
        result.append(text.substr(from, amp - from));
        const std::string_view rest = text.substr(amp + 1);
        from = amp + 1;
        char replacement = '&';
        for (const Entity& entity : Entities) {
            if (rest.substr(0, entity.Name.size()) == entity.Name) {
                replacement = entity.Character;
                from += entity.Name.size();
                break;
            }
        }
        result.push_back(replacement);
    }
}

} // namespace

void CMarkup::ClearElements()
{
    m_elements.reset();
    m_elementCount = 0;
    m_elementCapacity = 0;
}

std::size_t CMarkup::AppendElement(const Element& element)
{
    if (m_elementCount == m_elementCapacity) {
        const std::size_t capacity = m_elementCapacity + m_elementCapacity / 2 + 1;
        if (capacity > static_cast<std::size_t>(-1) / sizeof(Element))
            throw std::bad_alloc();
        void* grown = std::realloc(m_elements.get(), capacity * sizeof(Element));
        if (grown == nullptr)
            throw std::bad_alloc();
        m_elements.release();
        m_elements.reset(static_cast<Element*>(grown));
        m_elementCapacity = capacity;
    }
    At(m_elementCount) = element;
    return m_elementCount++;
}

bool CMarkup::Fail(std::string message, std::size_t offset)
{
    m_error = std::move(message);
    const auto begin = m_text.begin();
    m_errorLine =
        1 + static_cast<std::size_t>(std::count(
                begin, begin + static_cast<std::ptrdiff_t>(std::min(offset, m_text.size())), '\n'));
    m_text.clear();
    ClearElements();
    m_parent = None;
    m_current = None;
    return false;
}

bool CMarkup::ParseDocument(std::string_view text)
{
    m_error.clear();
    m_errorLine = 0;
    m_text.assign(text.data(), text.size());
    ClearElements();
    m_parent = None;
    m_current = None;

    const char* const s = m_text.data();
    const std::size_t length = m_text.size();
    const std::string_view all(s, length);

    m_elementCapacity = length / 64 + 8;
    m_elements.reset(static_cast<Element*>(std::malloc(m_elementCapacity * sizeof(Element))));
    if (!m_elements) {
        m_elementCapacity = 0;
        throw std::bad_alloc();
    }
    AppendElement(Element{0, 0, length, length, None, None, None});

    // Open elements, innermost last; an explicit stack so deep nesting
    // cannot exhaust the call stack.
    struct Open
    {
        std::size_t Index;
        std::size_t LastChild;
        std::size_t NameLength;
    };
    std::vector<Open> open;
    open.push_back(Open{0, None, 0});
    const auto openName = [&](const Open& entry) {
        return std::string(s + At(entry.Index).StartTagBegin + 1, entry.NameLength);
    };

    std::size_t p = 0;
    for (;;) {
        const void* lt = p < length ? std::memchr(s + p, '<', length - p) : nullptr;
        if (lt == nullptr)
            break;
        p = static_cast<std::size_t>(static_cast<const char*>(lt) - s);
        if (p + 1 >= length)
            return Fail("Abrupt end within tag", p);
        const char c = s[p + 1];

        if (c == '?') {
            const std::size_t close = all.find("?>", p + 2);
            if (close == std::string_view::npos)
                return Fail("End of tag not found", p);
            p = close + 2;
            continue;
        }

        if (c == '!') {
            const std::string_view rest = all.substr(p);
            if (rest.starts_with("<!--")) {
                const std::size_t close = all.find("-->", p + 4);
                if (close == std::string_view::npos)
                    return Fail("End of tag not found", p);
                p = close + 3;
            } else if (rest.starts_with(CDataOpen)) {
                const std::size_t close = all.find(CDataClose, p + CDataOpen.size());
                if (close == std::string_view::npos)
                    return Fail("End of tag not found", p);
                p = close + CDataClose.size();
            } else {
                // A declaration; an internal subset in brackets may hold '>'.
                std::size_t depth = 0;
                std::size_t q = p + 2;
                for (; q < length; ++q) {
                    if (s[q] == '[')
                        ++depth;
                    else if (s[q] == ']' && depth > 0)
                        --depth;
                    else if (s[q] == '>' && depth == 0)
                        break;
                }
                if (q >= length)
                    return Fail("End of tag not found", p);
                p = q + 1;
            }
            continue;
        }

        if (c == '/') {
            std::size_t q = p + 2;
            while (q < length && IsNameChar(s[q]))
                ++q;
            const std::string_view endName(s + p + 2, q - (p + 2));
            if (open.size() == 1)
                return Fail("End tag does not correspond to " + std::string(endName), p);
            const Open& top = open.back();
            const std::string_view topName(s + At(top.Index).StartTagBegin + 1, top.NameLength);
            if (endName != topName) {
                for (std::size_t i = open.size() - 1; i-- > 1;) {
                    if (openName(open[i]) == endName)
                        return Fail("Expecting end tag of element " + std::string(topName), p);
                }
                return Fail("End tag does not correspond to " + std::string(topName), p);
            }
            while (q < length && IsSpace(s[q]))
                ++q;
            if (q >= length || s[q] != '>')
                return Fail("End tag not completed for element " + std::string(topName), p);
            Element& element = At(top.Index);
            element.EndTagBegin = p;
            element.EndTagEnd = q + 1;
            open.pop_back();
            p = q + 1;
            continue;
        }

        // A start tag.
        if (IsQuote(c))
            return Fail("Tag starts with quote", p);
        if (!IsNameChar(c))
            return Fail("Element tag not found", p);
        std::size_t q = p + 2;
        while (q < length && IsNameChar(s[q]))
            ++q;
        const std::size_t nameLength = q - (p + 1);

        bool emptyElement = false;
        for (;;) {
            while (q < length && IsSpace(s[q]))
                ++q;
            if (q >= length)
                return Fail("Abrupt end within tag", p);
            const char d = s[q];
            if (d == '>') {
                ++q;
                break;
            }
            if (d == '/') {
                if (q + 1 >= length)
                    return Fail("Abrupt end within tag", p);
                if (s[q + 1] != '>')
                    return Fail("Invalid node", p);
                q += 2;
                emptyElement = true;
                break;
            }
            if (IsQuote(d))
                return Fail("Tag starts with quote", p);
            if (!IsNameChar(d))
                return Fail("Invalid node", p);
            while (q < length && IsNameChar(s[q]))
                ++q;
            while (q < length && IsSpace(s[q]))
                ++q;
            if (q >= length)
                return Fail("Abrupt end within tag", p);
            if (s[q] != '=')
                return Fail("Invalid node", p);
            ++q;
            while (q < length && IsSpace(s[q]))
                ++q;
            if (q >= length)
                return Fail("Abrupt end within tag", p);
            if (!IsQuote(s[q]))
                return Fail("Invalid node", p);
            const void* close = std::memchr(s + q + 1, s[q], length - q - 1);
            if (close == nullptr)
                return Fail("Abrupt end within tag", p);
            q = static_cast<std::size_t>(static_cast<const char*>(close) - s) + 1;
        }

        Open& parent = open.back();
        const std::size_t index = AppendElement(Element{p, q, q, q, parent.Index, None, None});
        if (parent.LastChild == None)
            At(parent.Index).FirstChild = index;
        else
            At(parent.LastChild).NextSibling = index;
        parent.LastChild = index;
        if (!emptyElement)
            open.push_back(Open{index, None, nameLength});
        p = q;
    }

    if (open.size() > 1)
        return Fail("End tag of " + openName(open.back()) + " element not found", p);
    if (At(0).FirstChild == None)
        return Fail("Element tag not found", p);
    m_parent = 0;
    return true;
}

std::string_view CMarkup::ElementName(std::size_t index) const
{
    const Element& element = At(index);
    std::size_t q = element.StartTagBegin + 1;
    while (q < element.StartTagEnd && IsNameChar(m_text[q]))
        ++q;
    return std::string_view(m_text).substr(element.StartTagBegin + 1,
                                           q - (element.StartTagBegin + 1));
}

bool CMarkup::FindSibling(std::string_view name)
{
    if (m_parent == None)
        return false;
    std::size_t i = m_current == None ? At(m_parent).FirstChild : At(m_current).NextSibling;
    for (; i != None; i = At(i).NextSibling) {
        if (ElementName(i) == name) {
            m_current = i;
            return true;
        }
    }
    return false;
}

bool CMarkup::EnterElement()
{
    if (m_current == None)
        return false;
    m_parent = m_current;
    m_current = None;
    return true;
}

bool CMarkup::LeaveElement()
{
    if (m_parent == None || m_parent == 0)
        return false;
    m_current = m_parent;
    m_parent = At(m_parent).Parent;
    return true;
}

std::string CMarkup::ElementText() const
{
    if (m_current == None)
        return {};
    const Element& element = At(m_current);
    const std::string_view content = std::string_view(m_text).substr(
        element.StartTagEnd, element.EndTagBegin - element.StartTagEnd);
    std::size_t start = 0;
    while (start < content.size() && IsSpace(content[start]))
        ++start;
    if (content.substr(start).starts_with(CDataOpen)) {
        const std::size_t begin = start + CDataOpen.size();
        const std::size_t close = content.find(CDataClose, begin);
        if (close != std::string_view::npos)
            return std::string(content.substr(begin, close - begin));
    }
    return TranslateEntities(content);
}

bool CMarkup::ScanAttributes(
    const std::function<bool(std::string_view name, std::string_view rawValue)>& visit) const
{
    if (m_current == None)
        return false;
    const Element& element = At(m_current);
    const char* const s = m_text.data();
    std::size_t end = element.StartTagEnd;
    // Leave out the closing "/>" or ">".
    if (end > element.StartTagBegin && s[end - 1] == '>')
        --end;
    if (end > element.StartTagBegin && s[end - 1] == '/')
        --end;
    std::size_t q = element.StartTagBegin + 1;
    while (q < end && IsNameChar(s[q]))
        ++q;
    for (;;) {
        while (q < end && IsSpace(s[q]))
            ++q;
        if (q >= end)
            return true;
        if (!IsNameChar(s[q]))
            return false;
        const std::size_t nameBegin = q;
        while (q < end && IsNameChar(s[q]))
            ++q;
        const std::string_view attributeName(s + nameBegin, q - nameBegin);
        while (q < end && IsSpace(s[q]))
            ++q;
        if (q >= end || s[q] != '=')
            return false;
        ++q;
        while (q < end && IsSpace(s[q]))
            ++q;
        if (q >= end || !IsQuote(s[q]))
            return false;
        const char quote = s[q];
        const std::size_t valueBegin = q + 1;
        q = valueBegin;
        while (q < end && s[q] != quote)
            ++q;
        if (q >= end)
            return false;
        if (visit(attributeName, std::string_view(s + valueBegin, q - valueBegin)))
            return true;
        ++q;
    }
}

std::string CMarkup::AttributeValue(std::string_view name) const
{
    std::string value;
    ScanAttributes([&](std::string_view attributeName, std::string_view rawValue) {
        if (attributeName != name)
            return false;
        value = TranslateEntities(rawValue);
        return true;
    });
    return value;
}

bool CMarkup::ForEachAttribute(
    const std::function<void(std::string_view name, std::string value)>& visit) const
{
    return ScanAttributes([&](std::string_view name, std::string_view rawValue) {
        visit(name, TranslateEntities(rawValue));
        return false;
    });
}

bool CMarkup::NextSibling()
{
    if (m_parent == None)
        return false;
    const std::size_t next =
        m_current == None ? At(m_parent).FirstChild : At(m_current).NextSibling;
    if (next == None)
        return false;
    m_current = next;
    return true;
}

std::string_view CMarkup::CurrentName() const
{
    return m_current == None ? std::string_view() : ElementName(m_current);
}

bool CMarkup::IsEmptyElement() const
{
    if (m_current == None)
        return false;
    const Element& element = At(m_current);
    if (element.FirstChild != None)
        return false;
    for (std::size_t i = element.StartTagEnd; i < element.EndTagBegin; ++i) {
        if (!IsSpace(m_text[i]))
            return false;
    }
    return true;
}

std::size_t CMarkup::CurrentLine() const
{
    if (m_current == None)
        return 0;
    const auto begin = m_text.begin();
    return 1 + static_cast<std::size_t>(std::count(
                   begin, begin + static_cast<std::ptrdiff_t>(At(m_current).StartTagBegin), '\n'));
}

} // namespace Orvex
