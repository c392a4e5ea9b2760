#include "platform/foundation/PropertyList.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <plist/plist.h>

namespace ns::PropertyList {

namespace {

plist_t toNode(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Bool:
        return plist_new_bool(v.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: {
        const qlonglong n = v.toLongLong();
        // The library writes integers unsigned; negatives keep their value as reals.
        return n >= 0 ? plist_new_uint(uint64_t(n)) : plist_new_real(double(n));
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(v.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        return plist_new_data(b.constData(), uint64_t(b.size()));
    }
    case QMetaType::QVariantMap: {
        plist_t d = plist_new_dict();
        const QVariantMap m = v.toMap();
        for (auto it = m.begin(); it != m.end(); ++it)
            if (plist_t child = toNode(it.value()))
                plist_dict_set_item(d, it.key().toUtf8().constData(), child);
        return d;
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        plist_t a = plist_new_array();
        for (const QVariant& item : v.toList())
            if (plist_t child = toNode(item)) plist_array_append_item(a, child);
        return a;
    }
    default:
        if (v.canConvert<QString>() && v.isValid() && !v.isNull())
            return plist_new_string(v.toString().toUtf8().constData());
        if (v.typeId() == QMetaType::QString) return plist_new_string("");
        return nullptr; // nothing a property list can hold
    }
}

// Nesting beyond this is no file we wrote: it is read as damaged, before it can exhaust
// the stack.
constexpr int kMaxDepth = 128;

QVariant fromNode(plist_t node, int depth, bool* tooDeep) {
    if (depth > kMaxDepth) {
        *tooDeep = true;
        return {};
    }
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return bool(b);
    }
    case PLIST_UINT: {
        uint64_t n = 0;
        plist_get_uint_val(node, &n);
        return qlonglong(n);
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return d;
    }
    case PLIST_STRING: {
        // Not plist_get_string_val: it asserts (aborts) on a string holding a NUL byte. The
        // library keeps such a string only up to that byte, whatever length it reports.
        uint64_t len = 0;
        const char* s = plist_get_string_ptr(node, &len);
        return s ? QString::fromUtf8(
                       s, qsizetype(qstrnlen(s, uint(std::min<uint64_t>(len, 1u << 30)))))
                 : QString();
    }
    case PLIST_DATA: {
        char* d = nullptr;
        uint64_t len = 0;
        plist_get_data_val(node, &d, &len);
        QByteArray out(d, qsizetype(len));
        free(d);
        return out;
    }
    case PLIST_DICT: {
        QVariantMap m;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        for (;;) {
            char* key = nullptr;
            plist_t val = nullptr;
            plist_dict_next_item(node, it, &key, &val);
            if (!val) {
                free(key);
                break;
            }
            m.insert(QString::fromUtf8(key), fromNode(val, depth + 1, tooDeep));
            free(key);
            if (*tooDeep) break;
        }
        free(it);
        return m;
    }
    case PLIST_ARRAY: {
        QVariantList l;
        const uint32_t n = plist_array_get_size(node);
        for (uint32_t i = 0; i < n && !*tooDeep; ++i)
            l.append(fromNode(plist_array_get_item(node, i), depth + 1, tooDeep));
        return l;
    }
    default:
        return {};
    }
}

} // namespace

QByteArray toXml(const QVariant& value) {
    plist_t root = toNode(value);
    if (!root) return {};
    char* xml = nullptr;
    uint32_t len = 0;
    plist_to_xml(root, &xml, &len);
    QByteArray out(xml, qsizetype(len));
    plist_to_xml_free(xml);
    plist_free(root);
    return out;
}

QVariant fromXml(const QByteArray& xml) {
    if (xml.isEmpty()) return {};
    plist_t root = nullptr;
    plist_from_xml(xml.constData(), uint32_t(xml.size()), &root);
    if (!root) return {};
    bool tooDeep = false;
    QVariant out = fromNode(root, 0, &tooDeep);
    plist_free(root);
    if (tooDeep) return {};
    return out;
}

QVariant readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return fromXml(f.readAll());
}

bool writeFile(const QString& path, const QVariant& value) {
    const QByteArray xml = toXml(value);
    if (xml.isEmpty()) return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (f.write(xml) != xml.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace ns::PropertyList
