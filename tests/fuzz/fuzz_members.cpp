#include "fuzzsupport.h"
#include "members/memberfiles.h"

// manager.xml and a member file as the member manager reads them at open, and the group's save
// that rebuilds manager.xml in memory from what was read.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::Session s;
    const QByteArray bytes = FuzzSupport::bytes(data, size);
    FuzzSupport::writeInput(QStringLiteral("manager.xml"), bytes);
    FuzzSupport::writeInput(QStringLiteral("manager_1.xml"), bytes);
    MemberFiles files;
    files.SetRetry(1, 0);
    files.SetInstanceDir(FuzzSupport::scratch());
    if (files.OpenMemberFile(0) == MemberFiles::Loaded) {
        const GroupData group = files.ReadGroup();
        MemberSaveData save;
        save.maxId = group.maxId;
        files.SaveGroup(save, group.users, group.redmineId.toInt(), group.redmineType.toInt());
    }
    if (files.OpenMemberFile(1) == MemberFiles::Loaded && files.HasMemberRoot(1))
        files.WriteMemberData(1, MemberSaveData());
    return 0;
}
