#include "platform/BtrRecordFile.h"

#include "platform/BtrPgRecordFile.h"
#include "platform/BtrSqliteRecordFile.h"

namespace ks3::btr {

bool RecordFile::onServer(const std::string& path) {
    return path.rfind("postgresql://", 0) == 0 || path.rfind("postgres://", 0) == 0;
}

std::int16_t RecordFile::create(const std::string& path, const FileDefinition& definition, bool replace) {
    return onServer(path) ? PgRecordFile::create(path, definition, replace)
                          : SqliteRecordFile::create(path, definition, replace);
}

std::int16_t RecordFile::open(const std::string& path, std::unique_ptr<RecordFile>& out) {
    return onServer(path) ? PgRecordFile::open(path, out) : SqliteRecordFile::open(path, out);
}

std::string RecordFile::identityOf(const std::string& path) {
    return onServer(path) ? PgRecordFile::identityOf(path) : SqliteRecordFile::identityOf(path);
}

std::vector<QByteArray> RecordFile::sortKeysOf(const QByteArray& record) const {
    std::vector<QByteArray> keys;
    keys.reserve(definition_.keys.size());
    for (const KeyDef& def : definition_.keys)
        keys.push_back(def.sortForm(def.fromRecord(record)));
    return keys;
}

} // namespace ks3::btr
