#include "core/sharedxml.h"
#include "fuzzsupport.h"
#include "model/modelfile.h"

// model.xml as the model editor reads it: parse, move the tree into records, write it back.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::Session s;
    QDomDocument doc;
    if (!SharedXml::SetContent(doc, FuzzSupport::bytes(data, size)))
        return 0;
    QList<ModelFile::Node> tree;
    QList<QDomElement> kept;
    ModelFile::TakeTree(doc.documentElement(), &tree, &kept);
    ModelFile::RemoveElements(ModelFile::AppendTree(doc.documentElement(), tree, kept));
    ModelFile::DeleteRecords(tree);
    return 0;
}
