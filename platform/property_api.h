// Stand-in for the property system's shapes a property handler serves: property keys, the
// tagged values (PROPVARIANT) of the types the handler hands out, and the two interfaces. A
// Windows build takes the system's declarations; the layouts and identifiers here are the same.
#pragma once

#include "platform/com_types.h"

typedef unsigned short VARTYPE;
typedef DWORD PROPID;

inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_R8 = 5;
inline constexpr VARTYPE VT_UI1 = 17;
inline constexpr VARTYPE VT_UI2 = 18;
inline constexpr VARTYPE VT_UI4 = 19;
inline constexpr VARTYPE VT_LPWSTR = 31;
inline constexpr VARTYPE VT_FILETIME = 64;

inline constexpr HRESULT STG_E_ACCESSDENIED = static_cast<HRESULT>(0x80030005u);

struct PROPERTYKEY {
  GUID fmtid;
  DWORD pid;
};
typedef const PROPERTYKEY& REFPROPERTYKEY;

struct PROPVARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    BYTE bVal;
    USHORT uiVal;
    ULONG ulVal;
    double dblVal;
    FILETIME filetime;
    LPWSTR pwszVal;
  };
};
typedef const PROPVARIANT& REFPROPVARIANT;

inline void PropVariantInit(PROPVARIANT* pvar) { *pvar = PROPVARIANT{}; }
// Frees what the value owns (a string from the task allocator) and leaves it empty.
HRESULT PropVariantClear(PROPVARIANT* pvar);

struct IPropertyStore : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetCount(DWORD* cProps) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetAt(DWORD iProp, PROPERTYKEY* pkey) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY key, PROPVARIANT* pv) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY key, REFPROPVARIANT propvar) = 0;
  virtual HRESULT STDMETHODCALLTYPE Commit() = 0;

 protected:
  ~IPropertyStore() = default;
};

struct IPropertyStoreCapabilities : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE IsPropertyWritable(REFPROPERTYKEY key) = 0;

 protected:
  ~IPropertyStoreCapabilities() = default;
};
