#include "shellext/explorer_handlers.h"

#include <optional>
#include <string>

#include "platform/com_guid.h"
#include "platform/windows_api.h"
#include "shellext/com_server.h"
#include "shellext/property_handler.h"
#include "shellext/registry_entries.h"
#include "shellext/server_errors.h"
#include "shellext/thumbnail_provider.h"

namespace morvane {

// File type, thumbnail provider, property handler, raw type.
const std::array<TExplorerRow, kExplorerRowCount> kExplorerTable = {{
    {".NEF", "{67AB1FB3-1D83-4434-AC15-34E634004C20}", "{ACB2CD93-E25A-407F-9A9E-F1452F9E3546}", true},
    {".THM", "{9A5724A4-BB5B-47C3-A973-472F2277A271}", "{F13456E5-6C97-4FCB-B30F-CE3D70451356}", false},
    {".CR2", "{B06DDCAE-FCC0-444F-9A54-C05FEF2E9F66}", "{ADEF9F5D-F5DF-425E-BF06-50688217DF3D}", true},
    {".MRW", "{D80FAB6F-F9BA-4950-A01B-CD7778796C8B}", "{59B71936-36C3-4BF6-8D68-752F4959B18C}", true},
    {".DNG", "{60611F62-2818-4901-94C4-330B5CC83D97}", "{AD8F9D03-2FEB-4C77-A7B1-AF95A2C7F6CD}", true},
    {".CRW", "{E662F6E6-8BEA-4DB6-9747-04D055BE7E77}", "{E79598CF-6958-44FA-B626-4D826934CADF}", true},
    {".PEF", "{B4012B25-DEA3-476D-B9B0-7473FAAC6E30}", "{71463242-C9E4-444C-BC26-79E76EC01537}", true},
    {".ORF", "{33727D1D-BAE4-4F0C-A36F-FF778C00BF9C}", "{D9557D3A-EC7B-4507-AE48-D3F2B8990AB1}", true},
    {".SRF", "{DFC7F45C-0275-4BA0-A699-93759D1891BA}", "{4BAD9BC1-2A3D-4781-A5B4-81D8671010B0}", true},
    {".ARW", "{8460275C-BF1A-474E-A232-560FAF460EC4}", "{FC0FB9B2-80A0-4FC0-9535-3013A42511C6}", true},
    {".RAF", "{9593AC78-FCF2-43B1-9854-47E800F0A16D}", "{0216D604-97D5-4F59-842C-A681C0ADBE27}", true},
    {".PSD", "{F9B40692-A8D8-4FDD-86DC-7E9D1BE8959F}", "{B3BDF736-5130-4A01-BB4F-43C176BA02A1}", false},
    {".PSP", "{992F8595-4CA3-4966-AC0D-778856638A8A}", "{2E19ECFC-C956-4827-85D4-363B2011E3B0}", false},
    {".PSPINFO", "", "{B4284B13-CDCB-4237-8BF5-5B3778A7F0A6}", false},
    {".ERF", "", "{4D7743C4-5E96-44C4-A669-A85415BA4BB0}", true},
    {".KDC", "", "{9DCF5E60-60FE-46A5-896B-5B3137AEA2CC}", true},
    {".TIF", "", "{F664A74A-3F64-4E5F-817D-FC68ACB03B97}", false},
    {".DCR", "", "{E503950E-A8FF-44E3-9458-70F06F89C2BA}", true},
    {".RAW", "", "{76CFF3D2-962B-4FB6-A82D-2FDA3D271637}", true},
    {".SR2", "{F7CA9CD5-A6EB-464F-A69B-F8D20895B950}", "{90182B36-F212-4104-B2C1-52312256B26C}", true},
    {".X3F", "", "{89DA6891-788D-49FE-A5CC-A80E50E5DFD8}", true},
    {".JPG", "", "{101FE12A-C925-4A82-904A-AF203D9B442D}", false},
    {".JPEG", "", "{8F446C45-EEC8-4608-B94F-6F917BD7C068}", false},
    {".JPE", "", "{56B3129D-3DAA-4977-B2F3-7C12341B74CB}", false},
    {".PSPImage", "{A56878D9-494E-4D86-BBB0-1724659E0AD1}", "", false},
    {".CR3", "{3C1B5E0A-6F2D-4B8E-9A41-2E7D5C0B9F11}", "{7A2D4C91-0B3E-4F6A-8C25-9D1E3B7A6C22}", true},
    {".RW2", "{5E8F2A13-9C4D-4E7B-B1A6-3F0C8D2E5A33}", "{9B3E6D24-1A5F-4C8D-A2B7-4E1F9C3B7D44}", true},
    {".RWL", "{6F9A3B35-AD5E-4F8C-82B7-5A1D9E3F6B55}", "{AC4F7E46-2B6A-4D9E-B3C8-5F2A0D4C8E66}", true},
    {".NRW", "{7A0B4C57-BE6F-4A9D-93C8-6B2E0F4A7C77}", "{BD5A8F68-3C7B-4EAF-84D9-6A3B1E5D9F88}", true},
    {".SRW", "{8B1C5D79-CF7A-4BAE-A4D9-7C3F1A5B8D99}", "{CE6B9A7A-4D8C-4FBA-95EA-7B4C2F6EAAAA}", true},
    {".3FR", "{9C2D6E8B-DA8B-4CBF-B5EA-8D4A2B6C9EBB}", "{DF7CAB8C-5E9D-4ACB-A6FB-8C5D3A7FBBCC}", true},
    {".IIQ", "{AD3E7F9D-EB9C-4DCA-86FB-9E5B3C7DAFDD}", "{E08DBC9E-6FAE-4BDC-B70C-9D6E4B8ACCEE}", true},
}};

namespace {

constexpr const char* kApprovedKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
constexpr DWORD kMaxValue = 2048;

bool NamesClass(const std::optional<std::string>& text, const std::string& class_id) {
  if (!text) return false;
  const auto a = TryStringToGUID(*text), b = TryStringToGUID(class_id);
  return a && b && IsEqualGUID(*a, *b);
}

bool IsEmptyText(const std::optional<std::string>& text) { return !text || text->empty(); }

void SetApproved(const std::string& class_id, const std::string& name, bool register_class) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kApprovedKey, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return;
  if (register_class)
    RegSetValueExA(key, class_id.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                   static_cast<DWORD>(name.size() + 1));
  else
    RegDeleteValueA(key, class_id.c_str());
  RegCloseKey(key);
}

// Deletes a key of the classes root when nothing is left in it.
void DeleteIfEmpty(const std::string& key) {
  if (RegKeyIsEmpty(HKEY_CLASSES_ROOT, key)) RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
}

// The default value of `root\key` set to `class_id` unless another class holds it (false
// then); on unregistration the key goes only when it names `class_id`.
bool UpdateHandlerKey(HKEY root, const std::string& key, const std::string& class_id, bool register_class) {
  const std::optional<std::string> present = ReadRegText(root, key, "", kMaxValue);
  if (register_class) {
    if (!IsEmptyText(present) && !NamesClass(present, class_id)) return false;
    if (!WriteRegText(root, key, "", class_id)) throw EOleRegistrationError("Error creating system registry entry");
  } else if (NamesClass(present, class_id)) {
    RegDeleteKeyA(root, key.c_str());
  }
  return true;
}

// FullDetails and PreviewDetails under the type's system association, each only where neither
// that key nor the type's own class names one; removed only while it is still the list written.
void UpdateDetailsLists(const std::string& file_type, bool register_class) {
  const std::string key = "SystemFileAssociations\\" + file_type;
  const std::optional<std::string> prog_id = ReadRegText(HKEY_CLASSES_ROOT, file_type, "", kMaxValue);
  for (const auto& [name, list] : {std::pair{"FullDetails", kFullDetails}, std::pair{"PreviewDetails", kPreviewDetails}}) {
    const std::optional<std::string> own = ReadRegText(HKEY_CLASSES_ROOT, key, name, kMaxValue);
    if (register_class) {
      if (own) continue;
      if (!IsEmptyText(prog_id) && ReadRegText(HKEY_CLASSES_ROOT, *prog_id, name, kMaxValue)) continue;
      if (!WriteRegText(HKEY_CLASSES_ROOT, key, name, list))
        throw EOleRegistrationError("Error creating system registry entry");
    } else if (own && *own == list) {
      HKEY opened = nullptr;
      if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ | KEY_WRITE, &opened) == ERROR_SUCCESS) {
        RegDeleteValueA(opened, name);
        RegCloseKey(opened);
      }
    }
  }
  if (!register_class) DeleteIfEmpty(key);
}

class TExplorerFactory : public TComObjectFactory {
 public:
  TExplorerFactory(TComServer& server, const TExplorerRow& row, bool provider)
      : TComObjectFactory(server, *TryStringToGUID(std::string(provider ? row.ProviderClassId : row.PropertyClassId)),
                          "", DescriptionOf(row, provider), ciMultiInstance, tmBoth),
        row_(row),
        provider_(provider) {
    ShowErrors = false;
  }

  void UpdateRegistry(bool register_class) override {
    const std::string class_id = GUIDToString(ClassID());
    const std::string file_type(row_.FileType);
    if (register_class) TComObjectFactory::UpdateRegistry(true);
    bool holds_key = false;
    if (provider_) {
      holds_key = UpdateHandlerKey(HKEY_CLASSES_ROOT, file_type + "\\shellex\\" + kThumbnailProviderCategory, class_id,
                       register_class);
      if (!register_class) {
        DeleteIfEmpty(file_type + "\\shellex");
        DeleteIfEmpty(file_type);
      }
    } else {
      holds_key = UpdateHandlerKey(HKEY_LOCAL_MACHINE, kPropertyHandlersKey + file_type, class_id, register_class);
      if (row_.RawType) UpdateDetailsLists(file_type, register_class);
    }
    if (holds_key || !register_class) SetApproved(class_id, Description(), register_class);
    if (!register_class) TComObjectFactory::UpdateRegistry(false);
  }

 protected:
  TComObject* CreateComObject(IUnknown*) override {
    const std::string type_name = "stream" + std::string(row_.FileType);
    if (provider_) return new TThumbnailProvider(*this, type_name);
    return new TPropertyHandler(*this, type_name);
  }

 private:
  static std::string DescriptionOf(const TExplorerRow& row, bool provider) {
    return std::string(row.FileType.substr(1)) + (provider ? " Thumbnail Provider" : " Property Handler");
  }

  const TExplorerRow& row_;
  bool provider_;
};

}  // namespace

void AddExplorerFactories(TComServer& server) {
  for (const TExplorerRow& row : kExplorerTable) {
    if (!row.ProviderClassId.empty()) new TExplorerFactory(server, row, true);
    if (!row.PropertyClassId.empty()) new TExplorerFactory(server, row, false);
  }
}

}  // namespace morvane
