// The IIS 6 answers of the virtual-directory exports: directories created and deleted below a
// site's ROOT in the metabase through ADSI.
//
// A directory only exists once its properties are committed, so a refused property or commit
// means the directory was not made: that is reported with the directory's own failure code
// rather than as success, and nothing half-written is committed.
#include <initializer_list>

#include "frame/result.h"
#include "iis/metabase.h"
#include "iis/metabase/adsi.h"
#include "iis/metabase/metabase_rules.h"

namespace dk::iis {
namespace {

using namespace metabase;

struct NewDirectory {
    const char* name;
    const char* physical_path;
    AccessRights rights;
    int failure;  // answered when this directory cannot be made
};

bool Make(IADsContainer* root, const NewDirectory& dir) {
    com_ptr<IDispatch> created;
    const win::unique_bstr cls_text = ToBstr(kVirtualDirClass), name_text = ToBstr(dir.name);
    if (!cls_text || !name_text) return false;
    if (root->Create(cls_text.get(), name_text.get(), created.put()) != S_OK || !created) return false;
    com_ptr<IADs> object;
    if (FAILED(created->QueryInterface(IID_IADs, object.put_void())) || !object) return false;

    bool written = true;
    for (std::size_t i = 0; i < kAccessProperties.size(); ++i)
        written = SUCCEEDED(PutText(object.get(), kAccessProperties[i], dir.rights[i])) && written;
    written = SUCCEEDED(PutText(object.get(), "Path", dir.physical_path)) && written;
    return written && SUCCEEDED(object->SetInfo());
}

// Makes the directories in order below the site's ROOT; the first one that cannot be made ends
// the call with its code, and the ones made before it stay.
int MakeAll(const char* site, std::initializer_list<NewDirectory> dirs) {
    for (const auto& dir : dirs)
        if (!site || !dir.name || !dir.physical_path) return dir.failure;  // refused before any change
    const win::co_init com;
    com_ptr<IADsContainer> root;
    // An unreachable site root makes no directory: that is the first directory's failure.
    if (BindContainer(SiteRootPath(site), root) != S_OK || !root) return dirs.begin()->failure;
    for (const auto& dir : dirs)
        if (!Make(root.get(), dir)) return dir.failure;
    return 0;
}

}  // namespace

int MetabaseCreateSingleVirtualDirectory(const char* name, const char* physical_path, int read, int script,
                                         int source, int write, int execute, const char* site) noexcept {
    return guarded(888, [&] {
        return MakeAll(site, {{name, physical_path, FlagRights(read, script, source, write, execute), 888}});
    });
}

// The check is made by trying to create the directory: a directory that cannot be created
// counts as present (-2); one that could is now there, read-only.
int MetabaseCheckVirtualDirectory(const char* name, const char* physical_path, const char* site) noexcept {
    return guarded(-2, [&] { return MakeAll(site, {{name, physical_path, kReadOnly, -2}}); });
}

int MetabaseDeleteVirtualDirectory(const char* name, const char* site) noexcept {
    return guarded(888, [&] {
        if (!name || !site) return 888;
        const win::co_init com;
        com_ptr<IADsContainer> root;
        // Without the site's ROOT there is no directory of that name to remove.
        if (BindContainer(SiteRootPath(site), root) != S_OK || !root) return 0;
        const win::unique_bstr cls_text = ToBstr(kVirtualDirClass), name_text = ToBstr(name);
        if (!cls_text || !name_text) return 888;
        return root->Delete(cls_text.get(), name_text.get()) == S_OK ? 0 : 888;
    });
}

int MetabaseCreateVirtualDirectory(const char* name1, const char* path1, const char* name2, const char* path2,
                                   const char* site) noexcept {
    return guarded(888, [&] {
        return MakeAll(site, {{name1, path1, kReadOnly, 888}, {name2, path2, kReadExecute, 999}});
    });
}

int MetabaseCreateVirtualDirectoryAdmin(const char* name1, const char* path1, const char* name2,
                                        const char* path2, const char* name3, const char* path3,
                                        const char* site) noexcept {
    return guarded(888, [&] {
        return MakeAll(site, {{name1, path1, kReadOnly, 888},
                              {name2, path2, kReadExecute, 999},
                              {name3, path3, kReadExecute, 777}});
    });
}

}  // namespace dk::iis
