// An ADSI provider for the "IIS:" namespace, in process. ADsGetObject finds it through the
// registry, asks it for IADsOpenDSObject and binds paths below IIS://localhost through it. Every
// object answers IADs and IADsContainer over the stand-in's metabase file; every call that
// reaches the metabase is journalled (the file's name plus ".journal") so tests can check the
// exact sequence of writes.
#include <windows.h>
#include <ole2.h>
#include <iads.h>
#include <adserr.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "metabase_store.h"
#include "adsi_standin_ids.h"

namespace adsi_standin {
namespace {

HMODULE g_module = nullptr;
constexpr HRESULT kNotFound = HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
constexpr HRESULT kExists = HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS);
constexpr wchar_t kPrefix[] = L"IIS://localhost";

std::string Narrow(const wchar_t* w) {
    if (!w) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_ACP, 0, w, -1, s.data(), n, nullptr, nullptr);
    return s;
}

BSTR Widen(const std::string& s) {
    const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    BSTR b = SysAllocStringLen(nullptr, n > 0 ? n - 1 : 0);
    if (b && n > 1) MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, b, n);
    return b;
}

std::string MetabasePath() {
    char named[MAX_PATH] = {};
    if (const DWORD n = GetEnvironmentVariableA(kMetabaseVariable, named, MAX_PATH); n > 0 && n < MAX_PATH)
        return named;
    char module[MAX_PATH] = {};
    GetModuleFileNameA(g_module, module, MAX_PATH);
    std::string dir(module);
    return dir.substr(0, dir.find_last_of("\\/") + 1) + "metabase.txt";
}

std::string ReadAll(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

Store Load() { return Store::Parse(ReadAll(MetabasePath())); }

void Save(const Store& store) {
    if (FILE* f = std::fopen(MetabasePath().c_str(), "wb")) {
        const std::string text = store.Serialize();
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

void Journal(const std::string& line) {
    if (FILE* f = std::fopen((MetabasePath() + ".journal").c_str(), "ab")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

// Metabase path below IIS://localhost ("/W3SVC/1"), or nothing for a path outside it.
bool LocalPath(const wchar_t* ads_path, std::string& out) {
    const size_t n = wcslen(kPrefix);
    if (!ads_path || _wcsnicmp(ads_path, kPrefix, n) != 0) return false;
    out = Narrow(ads_path + n);
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return true;
}

HRESULT ToVariant(const Property& p, VARIANT* out) {
    VariantInit(out);
    switch (p.kind) {
        case Kind::integer:
            out->vt = VT_I4;
            out->lVal = std::atol(p.value.c_str());
            return S_OK;
        case Kind::boolean:
            out->vt = VT_BOOL;
            out->boolVal =
                p.value == "True" || p.value == "true" || p.value == "1" ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        case Kind::list: {
            std::vector<std::string> items;
            for (size_t start = 0;;) {
                const size_t bar = p.value.find('|', start);
                items.push_back(p.value.substr(start, bar - start));
                if (bar == std::string::npos) break;
                start = bar + 1;
            }
            SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size()));
            if (!array) return E_OUTOFMEMORY;
            for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
                VARIANT item;
                VariantInit(&item);
                item.vt = VT_BSTR;
                item.bstrVal = Widen(items[i]);
                SafeArrayPutElement(array, &i, &item);
                VariantClear(&item);
            }
            out->vt = VT_ARRAY | VT_VARIANT;
            out->parray = array;
            return S_OK;
        }
        case Kind::text:
            break;
    }
    out->vt = VT_BSTR;
    out->bstrVal = Widen(p.value);
    return out->bstrVal ? S_OK : E_OUTOFMEMORY;
}

std::string TypeName(VARTYPE vt) {
    switch (vt) {
        case VT_BSTR:
            return "BSTR";
        case VT_I4:
            return "I4";
        case VT_BOOL:
            return "BOOL";
        case VT_ARRAY | VT_VARIANT:
            return "ARRAY";
        default:
            return "VT" + std::to_string(vt);
    }
}

Property FromVariant(const std::string& name, const VARIANT& v) {
    Property p{name, Kind::text, {}};
    VARIANT text;
    VariantInit(&text);
    if (v.vt == VT_BOOL) {
        p.kind = Kind::boolean;
        p.value = v.boolVal ? "True" : "False";
    } else if (v.vt == (VT_ARRAY | VT_VARIANT)) {
        p.kind = Kind::list;
        LONG low = 0, high = -1;
        SafeArrayGetLBound(v.parray, 1, &low);
        SafeArrayGetUBound(v.parray, 1, &high);
        for (LONG i = low; i <= high; ++i) {
            VARIANT item;
            VariantInit(&item);
            SafeArrayGetElement(v.parray, &i, &item);
            if (SUCCEEDED(VariantChangeType(&item, &item, 0, VT_BSTR)))
                p.value += (i > low ? "|" : "") + Narrow(item.bstrVal);
            VariantClear(&item);
        }
    } else if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(&v), 0, VT_BSTR))) {
        if (v.vt != VT_BSTR) p.kind = Kind::integer;
        p.value = Narrow(text.bstrVal);
    }
    VariantClear(&text);
    return p;
}

template <class... Interfaces>
class Unknown : public Interfaces... {
public:
    virtual ~Unknown() = default;
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return n;
    }

private:
    LONG refs_ = 1;
};

// IDispatch without type information: the stand-in is called through its vtables only.
template <class... Interfaces>
class Dispatch : public Unknown<Interfaces...> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
};

class Node final : public Dispatch<IADs, IADsContainer> {
public:
    Node(Object object, bool committed) : object_(std::move(object)), committed_(committed) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IADs)
            *out = static_cast<IADs*>(this);
        else if (riid == IID_IADsContainer)
            *out = static_cast<IADsContainer*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Unknown::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return Unknown::Release(); }

    // IADs
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override {
        return Text(std::string(LastSegment(object_.path)), out);
    }
    HRESULT STDMETHODCALLTYPE get_Class(BSTR* out) override { return Text(object_.cls, out); }
    HRESULT STDMETHODCALLTYPE get_GUID(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ADsPath(BSTR* out) override {
        return Text("IIS://localhost" + object_.path, out);
    }
    HRESULT STDMETHODCALLTYPE get_Parent(BSTR* out) override {
        return Text("IIS://localhost" + std::string(ParentPath(object_.path)), out);
    }
    HRESULT STDMETHODCALLTYPE get_Schema(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetInfo() override {
        Store store = Load();
        const Object* fresh = store.Find(object_.path);
        if (!fresh) return kNotFound;
        object_ = *fresh;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetInfo() override {
        Store store = Load();
        if (store.Refuses("setinfo")) {
            Journal("setinfo " + object_.path + " refused");
            return E_FAIL;
        }
        Journal("setinfo " + object_.path);
        Object* target = store.Find(object_.path);
        if (!target) {
            store.Insert(Object{object_.path, object_.cls, {}});
            target = store.Find(object_.path);
        }
        for (auto& p : pending_) target->Set(p);
        pending_.clear();
        Save(store);
        committed_ = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Get(BSTR name, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        const std::string key = Narrow(name);
        for (auto it = pending_.rbegin(); it != pending_.rend(); ++it)
            if (SameNoCase(it->name, key)) return ToVariant(*it, out);
        const Property* p = object_.Find(key);
        return p ? ToVariant(*p, out) : E_ADS_PROPERTY_NOT_FOUND;
    }
    HRESULT STDMETHODCALLTYPE Put(BSTR name, VARIANT value) override {
        Property p = FromVariant(Narrow(name), value);
        const bool refused = Load().Refuses("put");
        Journal("put " + object_.path + " " + p.name + " " + TypeName(value.vt) + " " + p.value +
                (refused ? " refused" : ""));
        if (refused) return E_ADS_PROPERTY_NOT_SUPPORTED;
        for (auto& q : pending_) {
            if (SameNoCase(q.name, p.name)) {
                q = std::move(p);
                return S_OK;
            }
        }
        pending_.push_back(std::move(p));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetEx(BSTR name, VARIANT* out) override { return Get(name, out); }
    HRESULT STDMETHODCALLTYPE PutEx(LONG, BSTR, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetInfoEx(VARIANT, LONG) override { return GetInfo(); }

    // IADsContainer
    HRESULT STDMETHODCALLTYPE get_Count(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override;
    HRESULT STDMETHODCALLTYPE get_Filter(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Filter(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Hints(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Hints(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetObject(BSTR, BSTR name, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        Store store = Load();
        const Object* child = store.Find(object_.path + "/" + Narrow(name));
        if (!child) return kNotFound;
        *out = static_cast<IADs*>(new Node(*child, true));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Create(BSTR cls, BSTR name, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        const std::string child = Narrow(name);
        const std::string path = object_.path + "/" + child;
        Store store = Load();
        std::string outcome;
        HRESULT hr = S_OK;
        if (store.Refuses("create")) {
            outcome = " refused", hr = E_FAIL;
        } else if (child.empty() || child.find('/') != std::string::npos) {
            outcome = " bad name", hr = E_ADS_BAD_PATHNAME;
        } else if (store.Find(path)) {
            outcome = " exists", hr = kExists;
        }
        Journal("create " + path + " " + Narrow(cls) + outcome);
        if (FAILED(hr)) return hr;
        *out = static_cast<IADs*>(new Node(Object{path, Narrow(cls), {}}, false));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Delete(BSTR cls, BSTR name) override {
        const std::string path = object_.path + "/" + Narrow(name);
        Store store = Load();
        const Object* child = store.Find(path);
        std::string outcome;
        HRESULT hr = S_OK;
        if (store.Refuses("delete")) {
            outcome = " refused", hr = E_FAIL;
        } else if (!child || !SameNoCase(child->cls, Narrow(cls))) {
            outcome = " missing", hr = kNotFound;
        }
        Journal("delete " + path + " " + Narrow(cls) + outcome);
        if (FAILED(hr)) return hr;
        store.RemoveTree(path);
        Save(store);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CopyHere(BSTR, BSTR, IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE MoveHere(BSTR, BSTR, IDispatch**) override { return E_NOTIMPL; }

private:
    static HRESULT Text(const std::string& s, BSTR* out) {
        if (!out) return E_POINTER;
        *out = Widen(s);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    Object object_;
    bool committed_;
    std::vector<Property> pending_;
};

class Enumerator final : public Unknown<IEnumVARIANT> {
public:
    explicit Enumerator(std::vector<Object> children) : children_(std::move(children)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid != IID_IUnknown && riid != IID_IEnumVARIANT) return E_NOINTERFACE;
        *out = static_cast<IEnumVARIANT*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* out, ULONG* fetched) override {
        ULONG n = 0;
        for (; n < wanted && next_ < children_.size(); ++n, ++next_) {
            VariantInit(&out[n]);
            out[n].vt = VT_DISPATCH;
            out[n].pdispVal = static_cast<IADs*>(new Node(children_[next_], true));
        }
        if (fetched) *fetched = n;
        return n == wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        next_ += count;
        return next_ <= children_.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT**) override { return E_NOTIMPL; }

private:
    std::vector<Object> children_;
    size_t next_ = 0;
};

HRESULT Node::get__NewEnum(IUnknown** out) {
    if (!out) return E_POINTER;
    std::vector<Object> children;
    const Store store = Load();
    for (const Object* o : store.Children(object_.path)) children.push_back(*o);
    Journal("enumerate " + object_.path);
    *out = static_cast<IEnumVARIANT*>(new Enumerator(std::move(children)));
    return S_OK;
}

class Namespace final : public Dispatch<IADsOpenDSObject> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid != IID_IUnknown && riid != IID_IDispatch && riid != IID_IADsOpenDSObject)
            return E_NOINTERFACE;
        *out = static_cast<IADsOpenDSObject*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OpenDSObject(BSTR ads_path, BSTR, BSTR, LONG, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        std::string path;
        if (!LocalPath(ads_path, path)) {
            Journal("bind " + Narrow(ads_path) + " bad path");
            return E_ADS_BAD_PATHNAME;
        }
        Store store = Load();
        const Object* object = store.Find(path);
        Journal("bind " + path + (object ? "" : " missing"));
        if (!object) return kNotFound;
        *out = static_cast<IADs*>(new Node(*object, true));
        return S_OK;
    }
};

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* ns = new Namespace;
        const HRESULT hr = ns->QueryInterface(riid, out);
        ns->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

}  // namespace
}  // namespace adsi_standin

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) adsi_standin::g_module = instance;
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    CLSID ours;
    wchar_t text[64];
    MultiByteToWideChar(CP_ACP, 0, adsi_standin::kClsidText, -1, text, 64);
    CLSIDFromString(text, &ours);
    if (clsid != ours) return CLASS_E_CLASSNOTAVAILABLE;
    return adsi_standin::g_factory.QueryInterface(riid, out);
}

// The metabase lives in a file, so nothing is lost when the DLL goes; staying loaded is simpler.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }
