#include "shellext/handler_table.h"

#include "platform/text.h"

namespace morvane {

// Component, kind, file type, description and extension name, overwrite existent,
// modify system info tip, event, class identifier.
const std::array<THandlerRow, kHandlerCount> kHandlerTable = {{
    {"ImageCRW", hkExtractImage, ".CRW", "ImageCRW", true, false, heExtractImage, "{9102D602-AD5E-4811-8013-0D8C1751F603}"},
    {"ImageTHM", hkExtractImage, ".THM", "ImageTHM", true, false, heExtractImage, "{EE3D0BBE-771B-4A1A-8664-058AFF05201E}"},
    {"ImageCR2", hkExtractImage, ".CR2", "ImageCR2", true, false, heExtractImage, "{49DBA21A-3A23-4261-97D0-8CE8C13057F3}"},
    {"ImageMRW", hkExtractImage, ".MRW", "ImageMRW", true, false, heExtractImage, "{9EDDAA2E-7995-42B3-81AB-1BC00400030E}"},
    {"ImageNEF", hkExtractImage, ".NEF", "ImageNEF", true, false, heExtractImage, "{B9ACE9BD-FF68-4D13-A215-469B43BF81F2}"},
    {"ImagePEF", hkExtractImage, ".PEF", "ImagePEF", true, false, heExtractImage, "{DB086241-D7B7-4B2C-8BA7-777979227BB0}"},
    {"ImageORF", hkExtractImage, ".ORF", "ImageORF", true, false, heExtractImage, "{D2EDF05A-4151-463D-8193-7A9DAA84EDEE}"},
    {"ImageSRF", hkExtractImage, ".SRF", "ImageSRF", true, false, heExtractImage, "{393EAEC0-7185-4C1F-A1C8-889076214D84}"},
    {"ImageDNG", hkExtractImage, ".DNG", "ImageDNG", true, false, heExtractImage, "{8D267F82-EE65-4BDE-9958-E660308AF80C}"},
    {"ImageRAF", hkExtractImage, ".RAF", "ImageRAF", true, false, heExtractImage, "{765CD2A5-F24C-4153-8232-FC8468793849}"},
    {"ImagePSD", hkExtractImage, ".PSD", "ImagePSD", true, false, heExtractImage, "{66C3D1E8-4480-425C-80A0-C7CAFF4249EA}"},
    {"ImagePSP", hkExtractImage, ".PSP", "ImagePSP", true, false, heExtractImage, "{BC9ED122-C99A-4A16-B47E-88703F413609}"},
    {"ImagePSPImage", hkExtractImage, ".PSPImage", "ImagePSPImage", true, false, heExtractImage, "{CCADB3CC-3CB8-4143-A531-FA11F129F717}"},
    {"ImageARW", hkExtractImage, ".ARW", "ImageARW", true, false, heExtractImage, "{9858513C-E285-4368-A4CB-A192FF9DB05E}"},
    {"itNEF", hkInfoTip, ".NEF", "NEF InfoTIP", false, false, heGetInfoTip, "{1687A238-5036-4324-93B3-F9779BB8B77F}"},
    {"itTHM", hkInfoTip, ".THM", "THM InfoTIP", false, false, heGetInfoTip, "{00BD97E5-D74A-41AB-9175-CFCBD29AC15F}"},
    {"itCR2", hkInfoTip, ".CR2", "CR2 InfoTIP", false, false, heGetInfoTip, "{AC99FF29-D06C-44E2-BD3A-3FBEA5E7DF06}"},
    {"itMRW", hkInfoTip, ".MRW", "MRW InfoTIP", false, false, heGetInfoTip, "{F87A1D6C-1DC4-478D-A8AC-212A0159139C}"},
    {"itDNG", hkInfoTip, ".DNG", "DNG InfoTIP", false, false, heGetInfoTip, "{566D3FE4-24D2-459C-A9C6-F05EAFD48FB4}"},
    {"itCRW", hkInfoTip, ".CRW", "CRW InfoTIP", false, false, heGetInfoTip, "{FA919193-DABD-404D-89E5-14ADD51CF9E6}"},
    {"itPEF", hkInfoTip, ".PEF", "PEF InfoTIP", false, false, heGetInfoTip, "{215A4AC7-6A32-44CE-8914-C88342DE708C}"},
    {"itORF", hkInfoTip, ".ORF", "ORF InfoTIP", false, false, heGetInfoTip, "{E5BFED06-2939-4BFA-9BEB-C9F76D9474F4}"},
    {"itSRF", hkInfoTip, ".SRF", "SRF InfoTIP", false, false, heGetInfoTip, "{91EB114B-5780-4D71-80AC-F6AF13A7D7AF}"},
    {"itARW", hkInfoTip, ".ARW", "ARW InfoTIP", false, false, heGetInfoTip, "{65385314-258F-4706-BBB9-478982BF3C27}"},
    {"itRAF", hkInfoTip, ".RAF", "RAF InfoTIP", false, false, heGetInfoTip, "{4BD319A8-229D-4B1E-BC40-A1B76554E709}"},
    {"itPSD", hkInfoTip, ".PSD", "PSD InfoTIP", false, false, heGetInfoTip, "{01683AB8-B43B-4054-89DA-53480783C822}"},
    {"itPSP", hkInfoTip, ".PSP", "PSP InfoTIP", false, false, heGetInfoTip, "{DF242271-D945-46E5-B546-F7BC3BD1B33E}"},
    {"itPSPINFO", hkInfoTip, ".PSPINFO", "PSPINFO InfoTIP", false, false, heGetInfoTip, "{5F51C29A-98D0-4860-AA1F-33557B244156}"},
    {"itERF", hkInfoTip, ".ERF", "ERF InfoTIP", false, false, heGetInfoTip, "{5FA96A95-A9DC-413E-A215-99560BE02455}"},
    {"itKDC", hkInfoTip, ".KDC", "KDC InfoTIP", false, false, heGetInfoTip, "{0C733849-08CD-4ED3-A4C5-F7891EF8647E}"},
    {"itTIF", hkInfoTip, ".TIF", "TIF InfoTIP", false, false, heGetInfoTip, "{A36F3760-6097-4067-9C2A-63F63E47B03E}"},
    {"itDCR", hkInfoTip, ".DCR", "DCR InfoTIP", false, false, heGetInfoTip, "{05282E7A-D8E0-4AF2-AAC5-9050181518BD}"},
    {"itRAW", hkInfoTip, ".RAW", "RAW InfoTIP", false, false, heGetInfoTip, "{FA4B1581-7C62-45FB-B4D5-D764D6753F2E}"},
    {"ImageSR2", hkExtractImage, ".SR2", "ImageSR2", true, false, heExtractImage, "{81CD730D-7FE2-4DA4-8876-8F109CF60876}"},
    {"itSR2", hkInfoTip, ".SR2", "SR2 InfoTIP", false, false, heGetInfoTip, "{6469FD80-D9AF-43CC-89BD-196F1DD3DB6E}"},
    {"itX3F", hkInfoTip, ".X3F", "X3F InfoTIP", false, false, heGetInfoTip, "{CCEC18EE-A72A-4B7A-8259-5A3F5EB7837F}"},
    {"itJPG", hkInfoTip, ".JPG", "JPG InfoTIP", false, false, heGetInfoTip, "{24816B24-1A5B-4904-B806-05FB5D257E1F}"},
    {"itJPEG", hkInfoTip, ".JPEG", "JPEG InfoTIP", false, false, heGetInfoTip, "{F2414E95-C8A6-4EBB-AE7F-3BDE8B2A9C70}"},
    {"itJPE", hkInfoTip, ".JPE", "JPE InfoTIP", false, false, heGetInfoTip, "{F41925BB-84DE-4F5A-9469-8736A7200A2A}"},
    {"ImageCR3", hkExtractImage, ".CR3", "ImageCR3", true, false, heExtractImage, "{091C41DF-8B6D-4B7B-BA1B-0E83FD98CF64}"},
    {"ImageRW2", hkExtractImage, ".RW2", "ImageRW2", true, false, heExtractImage, "{DE68CD76-BB8B-4BAE-8B9A-2584B08CBE44}"},
    {"ImageRWL", hkExtractImage, ".RWL", "ImageRWL", true, false, heExtractImage, "{4F36A22C-E898-452F-8CF6-0259B77E6FFC}"},
    {"ImageNRW", hkExtractImage, ".NRW", "ImageNRW", true, false, heExtractImage, "{E895F9B5-5651-47CF-A252-D4424825A734}"},
    {"ImageSRW", hkExtractImage, ".SRW", "ImageSRW", true, false, heExtractImage, "{56010C4B-8358-487B-A8C5-ED5125E19BC1}"},
    {"Image3FR", hkExtractImage, ".3FR", "Image3FR", true, false, heExtractImage, "{4A65F214-595D-4F8C-8931-62B7EB9BCA86}"},
    {"ImageIIQ", hkExtractImage, ".IIQ", "ImageIIQ", true, false, heExtractImage, "{8B3A4C66-4BF6-4D17-977D-996A24A77008}"},
    {"itCR3", hkInfoTip, ".CR3", "CR3 InfoTIP", false, false, heGetInfoTip, "{0E65B683-B647-4D35-9D1C-A8B72A311FD1}"},
    {"itRW2", hkInfoTip, ".RW2", "RW2 InfoTIP", false, false, heGetInfoTip, "{1C5AE586-677B-486F-9B04-F46517A2A2E6}"},
    {"itRWL", hkInfoTip, ".RWL", "RWL InfoTIP", false, false, heGetInfoTip, "{D93BC800-2C97-4951-A281-DBEF36F4B89F}"},
    {"itNRW", hkInfoTip, ".NRW", "NRW InfoTIP", false, false, heGetInfoTip, "{90EA1871-4FCF-4B6E-BC04-73804A64E97E}"},
    {"itSRW", hkInfoTip, ".SRW", "SRW InfoTIP", false, false, heGetInfoTip, "{FC357003-F27A-4706-8FAB-F3809593F81C}"},
    {"it3FR", hkInfoTip, ".3FR", "3FR InfoTIP", false, false, heGetInfoTip, "{F4422BE6-4F33-4108-A238-5966A3B4F821}"},
    {"itIIQ", hkInfoTip, ".IIQ", "IIQ InfoTIP", false, false, heGetInfoTip, "{1C53DD1A-B377-4A53-B533-CDC45785C2DA}"},
}};

const THandlerRow* FindHandlerByComponent(std::string_view component) {
  for (const THandlerRow& row : kHandlerTable)
    if (row.Component == component) return &row;
  return nullptr;
}

const THandlerRow* FindHandlerByClassId(std::string_view class_id) {
  for (const THandlerRow& row : kHandlerTable)
    if (SameText(row.ClassId, class_id)) return &row;
  return nullptr;
}

}  // namespace morvane
