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

std::string keyColumn(int k) {
    return "k" + std::to_string(k);
}

std::string seqColumn(int k) {
    return "s" + std::to_string(k);
}

std::string RecordFile::seekCondition(int key, Seek seek, const std::string& p1,
                                      const std::string& p2) const {
    const bool dup = definition_.keys[std::size_t(key)].duplicates();
    const std::string k = keyColumn(key), s = seqColumn(key);
    const std::string up = dup ? " ORDER BY " + k + ", " + s + " LIMIT 1" : " ORDER BY " + k + " LIMIT 1";
    const std::string down =
        dup ? " ORDER BY " + k + " DESC, " + s + " DESC LIMIT 1" : " ORDER BY " + k + " DESC LIMIT 1";
    switch (seek) {
    case Seek::Equal:
        return k + " = " + p1 + (dup ? " ORDER BY " + s + " LIMIT 1" : std::string());
    case Seek::Greater:
        return k + " > " + p1 + up;
    case Seek::GreaterOrEqual:
        return k + " >= " + p1 + up;
    case Seek::Less:
        return k + " < " + p1 + down;
    case Seek::LessOrEqual:
        return k + " <= " + p1 + down;
    case Seek::First:
        return k + " IS NOT NULL" + up;
    case Seek::Last:
        return k + " IS NOT NULL" + down;
    case Seek::After:
        return (dup ? "(" + k + ", " + s + ") > (" + p1 + ", " + p2 + ")" : k + " > " + p1) + up;
    case Seek::Before:
        return (dup ? "(" + k + ", " + s + ") < (" + p1 + ", " + p2 + ")" : k + " < " + p1) + down;
    case Seek::Count:
        break;
    }
    return std::string();
}

std::vector<QByteArray> RecordFile::sortKeysOf(const QByteArray& record) const {
    std::vector<QByteArray> keys;
    keys.reserve(definition_.keys.size());
    for (const KeyDef& def : definition_.keys)
        keys.push_back(def.sortForm(def.fromRecord(record)));
    return keys;
}

} // namespace ks3::btr
