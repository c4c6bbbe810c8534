#include "Main/xlsx/WorkbookStyles.h"

#include "Main/xlsx/XlsxLogging.h"

#include <algorithm>
#include <cstring>

namespace XlsxPatch {
namespace {

constexpr const char* kStylesContentType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";

constexpr const char* kMinimalStyles =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
    "borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
    "xfId=\"0\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

}  // namespace

CWorkbookStyles::CWorkbookStyles(CPackage& package, std::string workbookPart,
                                 std::string stylesPart)
    : m_package(package), m_workbookPart(std::move(workbookPart)), m_part(std::move(stylesPart)) {}

bool CWorkbookStyles::Load() {
    if (m_loaded) {
        return m_styles.RootElement() != nullptr;
    }
    m_loaded = true;
    if (!m_part.empty()) {
        return m_package.ReadXml(m_part, m_styles, nullptr);
    }
    // A package without a style part (legal, if rare): give it the smallest one, so that the
    // count cells can carry their alignment.
    m_part = FolderOf(m_workbookPart) + "styles.xml";
    for (int n = 2; m_package.Has(m_part); ++n) {
        m_part = FolderOf(m_workbookPart) + "styles" + std::to_string(n) + ".xml";
    }
    m_created = true;
    return ParseXml(m_styles, kMinimalStyles);
}

int CWorkbookStyles::LeftAligned(int style) {
    const auto known = m_leftOf.find(style);
    if (known != m_leftOf.end()) {
        return known->second;
    }
    if (!Load()) {
        qCDebug(lcXlsx) << "style part unreadable; count cells keep their alignment";
        return style;
    }
    XMLElement* root = m_styles.RootElement();
    XMLElement* cellXfs = Child(root, "cellXfs");
    if (cellXfs == nullptr) {
        return style;
    }
    const std::string prefix = PrefixOf(root->Name());
    const std::vector<XMLElement*> xfs = Children(cellXfs, "xf");
    XMLElement* copy = nullptr;
    if (style >= 0 && style < static_cast<int>(xfs.size())) {
        const XMLElement* alignment = Child(xfs[style], "alignment");
        const char* horizontal = alignment ? alignment->Attribute("horizontal") : nullptr;
        if (horizontal != nullptr && std::strcmp(horizontal, "left") == 0) {
            m_leftOf[style] = style;
            return style;
        }
        copy = xfs[style]->DeepClone(&m_styles)->ToElement();
    } else {
        copy = m_styles.NewElement((prefix + "xf").c_str());
        for (const char* attr : {"numFmtId", "fontId", "fillId", "borderId", "xfId"}) {
            copy->SetAttribute(attr, 0);
        }
    }
    XMLElement* alignment = Child(copy, "alignment");
    if (alignment == nullptr) {
        alignment = m_styles.NewElement((prefix + "alignment").c_str());
        copy->InsertFirstChild(alignment);  // alignment comes first in a cell format
    }
    alignment->SetAttribute("horizontal", "left");
    copy->SetAttribute("applyAlignment", "1");
    cellXfs->InsertEndChild(copy);
    const int index = static_cast<int>(xfs.size());
    cellXfs->SetAttribute("count", index + 1);
    m_changed = true;
    m_leftOf[style] = index;
    return index;
}

bool CWorkbookStyles::Save(XMLDocument& workbookRels, bool& relsChanged, std::string* why) {
    if (!m_changed) {
        return true;
    }
    if (!m_package.Write(m_part, Serialise(m_styles))) {
        SetWhy(why, "cannot replace the styles");
        return false;
    }
    if (!m_created) {
        return true;
    }
    // Register the new part: a relationship from the workbook and its content type.
    const std::vector<Relationship> existing = ReadRelationships(workbookRels);
    std::string id = "rIdStyles";
    for (int n = 2; std::any_of(existing.begin(), existing.end(),
                                [&id](const Relationship& r) { return r.id == id; });
         ++n) {
        id = "rIdStyles" + std::to_string(n);
    }
    XMLElement* rels = workbookRels.RootElement();
    XMLElement* rel = workbookRels.NewElement((PrefixOf(rels->Name()) + "Relationship").c_str());
    rel->SetAttribute("Id", id.c_str());
    rel->SetAttribute("Type", kRelStyles);
    rel->SetAttribute("Target", ("/" + m_part).c_str());
    rels->InsertEndChild(rel);
    relsChanged = true;
    return m_package.AddContentType(m_part, kStylesContentType, why);
}

}  // namespace XlsxPatch
