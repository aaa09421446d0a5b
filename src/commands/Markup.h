#pragma once

#include <cstddef>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace Orvex {

// A small, non-validating XML reader for the command database: it indexes the
// elements of a byte text once and then walks them by name, returning element
// data and attribute values with the five predefined entities translated.
// Plain standard C++, so it can be fuzzed and benchmarked on its own.
class CMarkup
{
public:
    // Parses the whole text into the element index and puts the position
    // before the first top-level element. On any structural error the
    // document is left empty, Error() says why and false is returned.
    bool ParseDocument(std::string_view text);

    // Moves to the next element named name after the current one among the
    // children of the current parent (from the first child when there is no
    // current element). On failure the position is unchanged.
    bool FindSibling(std::string_view name);

    // The current element becomes the parent, with no current element yet.
    // False (and nothing changes) when there is no current element.
    bool EnterElement();

    // The parent becomes the current element again. False at top level.
    bool LeaveElement();

    // Data of the current element: a leading CDATA section unchanged, else
    // the content with entities translated. Empty without a current element.
    std::string ElementText() const;

    // Value of the named attribute of the current element with entities
    // translated; empty when absent or without a current element.
    std::string AttributeValue(std::string_view name) const;

    // Calls visit for every attribute of the current element, in document
    // order, with entities translated. False when there is no current element
    // or its attribute list is malformed (after visiting those before the
    // fault).
    bool ForEachAttribute(
        const std::function<void(std::string_view name, std::string value)>& visit) const;

    // Moves to the next element of any name among the current parent's
    // children (the first child when there is no current element).
    bool NextSibling();

    // Name of the current element; empty without one.
    std::string_view CurrentName() const;

    // True when the current element has no child elements and no text but
    // white space.
    bool IsEmptyElement() const;

    // Line (from 1) of the current element's start tag; 0 without one.
    std::size_t CurrentLine() const;

    // The last parse error, empty after a successful parse.
    const std::string& Error() const { return m_error; }
    // The line (from 1) where the last parse failed; 0 after a good parse.
    std::size_t ErrorLine() const { return m_errorLine; }

    // Number of elements in the document (0 when empty).
    std::size_t ElementCount() const { return m_elementCount == 0 ? 0 : m_elementCount - 1; }

private:
    static constexpr std::size_t None = static_cast<std::size_t>(-1);

    // One element: offsets into m_text of its start tag ('<' and one past
    // '>') and of its end tag (equal to the start tag's end for "<x/>"),
    // plus its links. Entry 0 is the document itself.
    struct Element
    {
        std::size_t StartTagBegin;
        std::size_t StartTagEnd;
        std::size_t EndTagBegin;
        std::size_t EndTagEnd;
        std::size_t Parent;
        std::size_t FirstChild;
        std::size_t NextSibling;
    };

    static_assert(std::is_trivially_copyable_v<Element>, "the index is grown with realloc");

    struct FreeDeleter
    {
        void operator()(Element* elements) const noexcept { std::free(elements); }
    };

    bool Fail(std::string message, std::size_t offset);
    // Visits the current element's attributes with their raw values until
    // visit answers true; false when the list is malformed.
    bool ScanAttributes(
        const std::function<bool(std::string_view name, std::string_view rawValue)>& visit) const;
    void ClearElements();
    std::size_t AppendElement(const Element& element);
    Element& At(std::size_t index) { return m_elements.get()[index]; }
    const Element& At(std::size_t index) const { return m_elements.get()[index]; }
    std::string_view ElementName(std::size_t index) const;

    std::string m_text;
    // The element index. It starts with room for text length / 64 + 8
    // entries and grows by half with realloc, which extends a large block in
    // place instead of copying it into fresh pages at every step.
    std::unique_ptr<Element, FreeDeleter> m_elements;
    std::size_t m_elementCount = 0;
    std::size_t m_elementCapacity = 0;
    std::string m_error;
    std::size_t m_errorLine = 0;
    std::size_t m_parent = None;
    std::size_t m_current = None;
};

} // namespace Orvex
