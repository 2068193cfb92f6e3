#include "core/treeitemdata.h"
#include "fuzzsupport.h"
#include "instance/instancefiles.h"

// A member's instance file as the instance tab opens it, with the reference lists of its
// elements, and the value-grid and node-position formats (the first byte picks which).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::Session s;
    if (size == 0)
        return 0;
    const QByteArray bytes = FuzzSupport::bytes(data + 1, size - 1);
    if (data[0] % 3 == 0) {
        FuzzSupport::writeInput(QStringLiteral("instance_1.xml"), bytes);
        InstanceFiles files;
        files.SetDir(FuzzSupport::scratch());
        if (files.OpenMemberDocument(1) != InstanceFiles::Opened)
            return 0;
        const QDomDocument *doc = s.store->GetXmlDoc(XmlIndex::Instance + 1);
        const QDomNodeList refs = doc->elementsByTagName(QStringLiteral("REFERENCE"));
        QStringList entries;
        for (int i = 0; i < refs.size(); ++i)
            files.ReadReferences(refs.at(i).toElement(), &entries);
        files.ClearInstanceDocument(1);
        return 0;
    }
    TreeItemData record;
    const QString text = QString::fromUtf8(bytes);
    if (data[0] % 3 == 1) {
        InstanceFiles::ParseGrid(&record, text);
        InstanceFiles::GridBytes(record);
    } else {
        InstanceFiles::ParsePos(&record, text);
        InstanceFiles::PosBytes(record);
    }
    return 0;
}
