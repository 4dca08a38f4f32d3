#include "iis/metabase/adsi.h"

#include <adshlp.h>

namespace dk::iis::metabase {
namespace {

using win::unique_bstr;
using win::unique_variant;

std::optional<std::string> VariantText(const VARIANT& value) {
    if (value.vt == VT_BSTR) return Narrow(value.bstrVal);
    unique_variant text;
    // The conversion reads the source only; its signature predates const.
    if (FAILED(::VariantChangeType(text.get(), const_cast<VARIANT*>(&value), 0, VT_BSTR)))
        return std::nullopt;
    return Narrow(text.get()->bstrVal);
}

std::optional<std::string> FirstElementText(const VARIANT& list) {
    SAFEARRAY* array = list.parray;
    LONG low = 0, high = -1;
    if (!array || ::SafeArrayGetDim(array) != 1 || FAILED(::SafeArrayGetLBound(array, 1, &low)) ||
        FAILED(::SafeArrayGetUBound(array, 1, &high)) || high < low)
        return std::nullopt;
    unique_variant first;
    if (FAILED(::SafeArrayGetElement(array, &low, first.get()))) return std::nullopt;
    return VariantText(*first.get());
}

}  // namespace

std::wstring Widen(const char* text) {
    if (!text || !*text) return {};
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return wide;
}

std::string Narrow(const wchar_t* text) {
    if (!text || !*text) return {};
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string narrow(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), n, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(n - 1));
    return narrow;
}

win::unique_bstr ToBstr(const char* text) { return win::unique_bstr(::SysAllocString(Widen(text).c_str())); }

HRESULT BindContainer(const std::string& path, com_ptr<IADsContainer>& out) {
    return ::ADsGetObject(Widen(path.c_str()).c_str(), IID_IADsContainer, out.put_void());
}

HRESULT BindObject(const std::string& path, com_ptr<IADs>& out) {
    return ::ADsGetObject(Widen(path.c_str()).c_str(), IID_IADs, out.put_void());
}

ChildEnumerator::~ChildEnumerator() {
    if (!enumerator_) return;
    if (from_helpers_)
        ::ADsFreeEnumerator(enumerator_);
    else
        enumerator_->Release();
}

HRESULT ChildEnumerator::Build(IADsContainer* container) {
    HRESULT hr = ::ADsBuildEnumerator(container, &enumerator_);
    if (hr == S_OK && enumerator_) {
        from_helpers_ = true;
        return S_OK;
    }
    enumerator_ = nullptr;
    if (hr != E_NOTIMPL) return FAILED(hr) ? hr : E_FAIL;
    com_ptr<IUnknown> unknown;
    if (FAILED(hr = container->get__NewEnum(unknown.put()))) return hr;
    if (!unknown) return E_FAIL;
    return unknown->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&enumerator_));
}

bool ChildEnumerator::Next(com_ptr<IADs>& child) {
    child.reset();
    if (!enumerator_) return false;
    unique_variant item;
    ULONG fetched = 0;
    const HRESULT hr = from_helpers_ ? ::ADsEnumerateNext(enumerator_, 1, item.get(), &fetched)
                                     : enumerator_->Next(1, item.get(), &fetched);
    if (hr != S_OK || fetched == 0) return false;
    const VARIANT& v = *item.get();
    if ((v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) && v.punkVal)
        v.punkVal->QueryInterface(IID_IADs, child.put_void());
    return true;
}

std::optional<std::string> ClassOf(IADs* object) {
    unique_bstr text;
    if (FAILED(object->get_Class(text.put()))) return std::nullopt;
    return Narrow(text.get());
}

std::optional<std::string> NameOf(IADs* object) {
    unique_bstr text;
    if (FAILED(object->get_Name(text.put()))) return std::nullopt;
    return Narrow(text.get());
}

std::optional<std::string> PropertyText(IADs* object, const char* name, bool first_of_list) {
    unique_variant value;
    const unique_bstr property = ToBstr(name);
    if (FAILED(object->Get(property.get(), value.get()))) ::VariantClear(value.get());
    if (first_of_list && (value.get()->vt & VT_ARRAY)) return FirstElementText(*value.get());
    return VariantText(*value.get());
}

bool PropertyIs(IADs* object, const char* name, long wanted) {
    unique_variant value;
    const unique_bstr property = ToBstr(name);
    if (FAILED(object->Get(property.get(), value.get()))) return false;
    unique_variant number;
    if (FAILED(::VariantChangeType(number.get(), value.get(), 0, VT_I4))) return false;
    return number.get()->lVal == wanted;
}

HRESULT PutText(IADs* object, const char* name, const char* value) {
    const unique_bstr property = ToBstr(name);
    unique_variant text;
    text.get()->vt = VT_BSTR;
    text.get()->bstrVal = ::SysAllocString(Widen(value).c_str());
    if (!text.get()->bstrVal) return E_OUTOFMEMORY;
    return object->Put(property.get(), *text.get());
}

}  // namespace dk::iis::metabase
