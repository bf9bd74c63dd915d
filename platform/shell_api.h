// Stand-in for the shell services the extension calls: the handler interfaces IExtractImage and
// IQueryInfo, the change notification, the shell's allocator and the shell-folder calls. This
// platform has no shell namespace: the desktop and special folders are never found.
#pragma once

#include "platform/com_types.h"
#include "platform/gdi_bitmap.h"

struct SHITEMID {
  USHORT cb;
  BYTE abID[1];
};
struct ITEMIDLIST {
  SHITEMID mkid;
};
typedef ITEMIDLIST* LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;
typedef LPITEMIDLIST PIDLIST_RELATIVE;
typedef LPCITEMIDLIST PCUIDLIST_RELATIVE;
typedef LPCITEMIDLIST PCUITEMID_CHILD;
typedef LPITEMIDLIST PITEMID_CHILD;
typedef LPCITEMIDLIST* PCUITEMID_CHILD_ARRAY;
typedef DWORD SHCONTF;
typedef ULONG SFGAOF;
typedef DWORD SHGDNF;

struct IBindCtx;
typedef IBindCtx* LPBC;
struct IEnumIDList;
struct STRRET;

struct IShellFolder : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND hwnd, IBindCtx* pbc, LPWSTR pszDisplayName,
                                                     ULONG* pchEaten, PIDLIST_RELATIVE* ppidl,
                                                     ULONG* pdwAttributes) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumObjects(HWND hwnd, SHCONTF grfFlags, IEnumIDList** ppenumIDList) = 0;
  virtual HRESULT STDMETHODCALLTYPE BindToObject(PCUIDLIST_RELATIVE pidl, IBindCtx* pbc, REFIID riid,
                                                 void** ppv) = 0;
  virtual HRESULT STDMETHODCALLTYPE BindToStorage(PCUIDLIST_RELATIVE pidl, IBindCtx* pbc, REFIID riid,
                                                  void** ppv) = 0;
  virtual HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM lParam, PCUIDLIST_RELATIVE pidl1,
                                               PCUIDLIST_RELATIVE pidl2) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateViewObject(HWND hwndOwner, REFIID riid, void** ppv) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT cidl, PCUITEMID_CHILD_ARRAY apidl, SFGAOF* rgfInOut) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND hwndOwner, UINT cidl, PCUITEMID_CHILD_ARRAY apidl,
                                                  REFIID riid, UINT* rgfReserved, void** ppv) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD pidl, SHGDNF uFlags, STRRET* pName) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetNameOf(HWND hwnd, PCUITEMID_CHILD pidl, LPCWSTR pszName, SHGDNF uFlags,
                                              PITEMID_CHILD* ppidlOut) = 0;

 protected:
  ~IShellFolder() = default;
};

struct IExtractImage : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetLocation(LPWSTR pszPathBuffer, DWORD cch, DWORD* pdwPriority,
                                                const SIZE* prgSize, DWORD dwRecClrDepth, DWORD* pdwFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE Extract(HBITMAP* phBmpThumbnail) = 0;

 protected:
  ~IExtractImage() = default;
};

struct IQueryInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetInfoTip(DWORD dwFlags, PWSTR* ppwszTip) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetInfoFlags(DWORD* pdwFlags) = 0;

 protected:
  ~IQueryInfo() = default;
};

extern const IID IID_IShellFolder;
extern const IID IID_IExtractImage;
extern const IID IID_IQueryInfo;

inline constexpr LONG SHCNE_ASSOCCHANGED = 0x08000000;
inline constexpr UINT SHCNF_IDLIST = 0x0000;
inline constexpr int CSIDL_DRIVES = 0x0011;

// Tells the shell that something it shows changed; here only counted.
void SHChangeNotify(LONG wEventId, UINT uFlags, LPCVOID dwItem1, LPCVOID dwItem2);
// The shell's allocator: the task allocator.
HRESULT SHGetMalloc(IMalloc** ppMalloc);
// No shell namespace here: both fail with E_FAIL and a null result.
HRESULT SHGetDesktopFolder(IShellFolder** ppshf);
HRESULT SHGetSpecialFolderLocation(HWND hwnd, int csidl, LPITEMIDLIST* ppidl);

namespace morvane {
// Test hook of the stand-in: how many change notifications were sent so far.
int StandInChangeNotifyCount();
}  // namespace morvane
