// Thin ADSI glue for the metabase readers and writers: binding paths, enumerating a container,
// reading and writing properties as 8-bit text in the system ANSI code page.
#pragma once

#include "frame/win/raii.h"

#include <ole2.h>
#include <iads.h>

#include <optional>
#include <string>

namespace dk::iis::metabase {

using win::com_ptr;

std::wstring Widen(const char* text);
std::string Narrow(const wchar_t* text);
win::unique_bstr ToBstr(const char* text);  // empty when memory runs out

HRESULT BindContainer(const std::string& path, com_ptr<IADsContainer>& out);
HRESULT BindObject(const std::string& path, com_ptr<IADs>& out);

// The children of a container, one at a time. Built with ADsBuildEnumerator; a client library
// that does not implement the enumeration helpers (Wine's answers E_NOTIMPL) is bypassed by
// asking the container for its _NewEnum directly, which is what the helpers do.
class ChildEnumerator {
public:
    ChildEnumerator() = default;
    ChildEnumerator(const ChildEnumerator&) = delete;
    ChildEnumerator& operator=(const ChildEnumerator&) = delete;
    ~ChildEnumerator();

    HRESULT Build(IADsContainer* container);
    // The next child's IADs; false at the end. A child without IADs comes back empty.
    bool Next(com_ptr<IADs>& child);

private:
    IEnumVARIANT* enumerator_ = nullptr;
    bool from_helpers_ = false;
};

std::optional<std::string> ClassOf(IADs* object);
std::optional<std::string> NameOf(IADs* object);
// A property as text: a text value unchanged, any other value through the variant conversion,
// a property without value as the empty text; nothing when the value cannot become text. With
// first_of_list, a list answers its first element.
std::optional<std::string> PropertyText(IADs* object, const char* name, bool first_of_list = false);
// Whether a property holds the given number (a missing or non-numeric value does not).
bool PropertyIs(IADs* object, const char* name, long value);
HRESULT PutText(IADs* object, const char* name, const char* value);

}  // namespace dk::iis::metabase
