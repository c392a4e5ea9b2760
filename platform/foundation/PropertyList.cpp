#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RegularFile.h"

#include <algorithm>
#include <cstring>
#include <plist/plist.h>
#include <string_view>
#include <vector>

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

// --- Measuring without building ---
//
// The XML rules follow the library's own reader: processing instructions end at "?>" outside
// double quotes, comments at "-->", character data at "]]>", a DOCTYPE at ">" or, with an
// internal subset, at "]>" (quotes skipped in both); any other "<!" is refused. Every element
// counts as an object and a level; the elements inside one that is not empty go one deeper.

class Counter {
public:
    void open(bool nests) {
        m_shape.objects = std::min(m_shape.objects + 1, kMaxObjects + 1);
        m_shape.depth = std::max(m_shape.depth, m_depth + 1);
        if (nests) ++m_depth;
    }
    bool close() { return --m_depth >= 0; }
    bool beyondLimits() const {
        return m_shape.objects > kMaxObjects || m_shape.depth > kMaxDepth + 2;
    }
    Shape done(bool wellFormed) {
        m_shape.wellFormed = wellFormed && m_depth == 0;
        return m_shape;
    }

private:
    Shape m_shape;
    int m_depth = 0;
};

const char* findText(const char* from, const char* end, std::string_view needle, bool skipQuotes) {
    bool quoted = false;
    for (const char* p = from; p < end; ++p) {
        if (skipQuotes && *p == '"') quoted = !quoted;
        if (!quoted && size_t(end - p) >= needle.size() &&
            std::memcmp(p, needle.data(), needle.size()) == 0)
            return p;
    }
    return nullptr;
}

bool startsWith(const char* p, const char* end, std::string_view prefix) {
    return size_t(end - p) >= prefix.size() && std::memcmp(p, prefix.data(), prefix.size()) == 0;
}

// Past the end of the construct that starts at p (just after "<!"), or null.
const char* skipDeclaration(const char* p, const char* end) {
    if (startsWith(p, end, "--")) {
        const char* q = findText(p + 2, end, "-->", false);
        return q ? q + 3 : nullptr;
    }
    if (startsWith(p, end, "[CDATA[")) {
        const char* q = findText(p + 7, end, "]]>", false);
        return q ? q + 3 : nullptr;
    }
    if (!startsWith(p, end, "DOCTYPE")) return nullptr;
    bool quoted = false;
    for (p += 7; p < end; ++p) {
        if (*p == '"') quoted = !quoted;
        if (quoted) continue;
        if (*p == '>') return p + 1;
        if (*p == '[') {
            const char* q = findText(p, end, "]>", true);
            return q ? q + 2 : nullptr;
        }
    }
    return nullptr;
}

Shape measureXml(const char* p, const char* end) {
    Counter counter;
    while (p < end) {
        p = static_cast<const char*>(std::memchr(p, '<', size_t(end - p)));
        if (!p) break;
        if (++p >= end) return counter.done(false);
        if (*p == '?') {
            const char* q = findText(p, end, "?>", true);
            if (!q) return counter.done(false);
            p = q + 2;
        } else if (*p == '!') {
            p = skipDeclaration(p + 1, end);
            if (!p) return counter.done(false);
        } else {
            const char* q = static_cast<const char*>(std::memchr(p, '>', size_t(end - p)));
            if (!q) return counter.done(false);
            if (*p == '/') {
                if (!counter.close()) return counter.done(false);
            } else {
                counter.open(q[-1] != '/');
            }
            p = q + 1;
        }
        if (counter.beyondLimits()) return counter.done(true); // refused whatever follows
    }
    return counter.done(true);
}

// Binary: "bplist00", objects, an offset table and a 32-byte trailer. Containers refer to
// other objects by index, so one object may be used many times and a list may even hold
// itself: the walk below goes over the graph without recursion, refuses cycles, and sums
// the counts of shared objects once per use.
class BinaryShape {
public:
    explicit BinaryShape(const QByteArray& bytes)
        : m_data(reinterpret_cast<const uchar*>(bytes.constData())), m_size(bytes.size()) {}

    Shape measure() {
        Shape shape;
        if (m_size < 8 + 32) return shape;
        const uchar* trailer = m_data + m_size - 32;
        m_offsetSize = trailer[6];
        m_refSize = trailer[7];
        const quint64 count = bigEndian(trailer + 8, 8);
        const quint64 root = bigEndian(trailer + 16, 8);
        m_table = bigEndian(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8 || count == 0 ||
            count > quint64(m_size) || root >= count || m_table >= quint64(m_size) ||
            count * m_offsetSize > quint64(m_size) - m_table)
            return shape;
        m_count = qsizetype(count);
        m_state.assign(size_t(m_count), Unseen);
        m_depth.assign(size_t(m_count), 0);
        m_objects.assign(size_t(m_count), 0);
        if (!walk(qsizetype(root))) return shape;
        shape.wellFormed = true;
        shape.depth = m_depth[size_t(root)];
        shape.objects = m_objects[size_t(root)];
        return shape;
    }

private:
    enum State : uchar { Unseen, Open, Done };
    struct Container {
        qsizetype refs = 0; // where the references start
        quint64 length = 0; // how many references
    };
    struct Frame {
        qsizetype object;
        Container children;
        quint64 next = 0;
    };

    quint64 bigEndian(const uchar* p, int n) const {
        quint64 v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 8) | p[i];
        return v;
    }

    // The object's references when it is an array, a set or a dictionary; false when its
    // header runs off the data, or for a text holding a NUL (the library asserts on such a
    // dictionary key).
    bool containerOf(qsizetype object, Container* out) const {
        *out = {};
        const quint64 at =
            bigEndian(m_data + m_table + quint64(object) * m_offsetSize, m_offsetSize);
        if (at < 8 || at >= m_table) return false;
        const uchar marker = m_data[at];
        const int type = marker >> 4;
        const bool text = type == 0x5 || type == 0x6;
        if (type != 0xA && type != 0xC && type != 0xD && !text) return true;
        quint64 length = marker & 0x0F;
        quint64 pos = at + 1;
        if (length == 0x0F) {
            if (pos >= m_table || (m_data[pos] >> 4) != 0x1) return false;
            const int n = 1 << (m_data[pos] & 0x03);
            if (pos + 1 + quint64(n) > m_table) return false;
            length = bigEndian(m_data + pos + 1, n);
            pos += 1 + quint64(n);
        }
        if (text) {
            const quint64 unit = type == 0x6 ? 2 : 1;
            if (length > (m_table - pos) / unit) return false;
            for (quint64 i = 0; i < length; ++i)
                if (m_data[pos + i * unit] == 0 && m_data[pos + i * unit + unit - 1] == 0)
                    return false;
            return true;
        }
        if (type == 0xD) {
            if (length > quint64(m_size)) return false;
            length *= 2; // keys, then values
        }
        if (length > (m_table - pos) / m_refSize) return false;
        out->refs = qsizetype(pos);
        out->length = length;
        return true;
    }

    bool walk(qsizetype root) {
        std::vector<Frame> stack;
        if (!enter(root, &stack)) return false;
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.next < top.children.length) {
                const quint64 child =
                    bigEndian(m_data + top.children.refs + top.next * m_refSize, m_refSize);
                ++top.next;
                if (child >= quint64(m_count)) return false;
                const qsizetype c = qsizetype(child);
                if (m_state[size_t(c)] == Open) return false; // holds itself
                if (m_state[size_t(c)] == Unseen) {
                    if (!enter(c, &stack)) return false;
                    continue;
                }
                add(top.object, c);
                continue;
            }
            const qsizetype done = top.object;
            m_state[size_t(done)] = Done;
            stack.pop_back();
            if (!stack.empty()) add(stack.back().object, done);
        }
        return true;
    }

    bool enter(qsizetype object, std::vector<Frame>* stack) {
        Container children;
        if (!containerOf(object, &children)) return false;
        m_state[size_t(object)] = Open;
        m_depth[size_t(object)] = 1;
        m_objects[size_t(object)] = 1;
        stack->push_back({object, children});
        return true;
    }

    void add(qsizetype parent, qsizetype child) {
        m_depth[size_t(parent)] = std::max(m_depth[size_t(parent)], m_depth[size_t(child)] + 1);
        m_objects[size_t(parent)] =
            std::min(m_objects[size_t(parent)] + m_objects[size_t(child)], kMaxObjects + 1);
    }

    const uchar* m_data;
    qsizetype m_size;
    int m_offsetSize = 0;
    int m_refSize = 0;
    quint64 m_table = 0;
    qsizetype m_count = 0;
    std::vector<State> m_state;
    std::vector<int> m_depth;
    std::vector<qint64> m_objects;
};

bool isBinary(const QByteArray& bytes) {
    return bytes.startsWith("bplist00");
}

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

Shape measure(const QByteArray& bytes) {
    if (isBinary(bytes)) return BinaryShape(bytes).measure();
    return measureXml(bytes.constData(), bytes.constData() + bytes.size());
}

bool isAcceptable(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.size() > kMaxBytes) return false;
    const Shape shape = measure(bytes);
    // The root element and a value's own element wrap the containers of an XML list.
    return shape.wellFormed && shape.depth <= kMaxDepth + 2 && shape.objects <= kMaxObjects;
}

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

namespace {
QVariant parse(const QByteArray& bytes, bool binaryAllowed) {
    if (!isAcceptable(bytes)) return {};
    plist_t root = nullptr;
    if (isBinary(bytes)) {
        if (binaryAllowed) plist_from_bin(bytes.constData(), uint32_t(bytes.size()), &root);
    } else {
        plist_from_xml(bytes.constData(), uint32_t(bytes.size()), &root);
    }
    if (!root) return {};
    bool tooDeep = false;
    QVariant out = fromNode(root, 0, &tooDeep);
    plist_free(root);
    if (tooDeep) return {};
    return out;
}
} // namespace

QVariant fromXml(const QByteArray& xml) {
    return parse(xml, false);
}

QVariant fromData(const QByteArray& bytes) {
    return parse(bytes, true);
}

QVariant readFile(const QString& path) {
    // The stores' files are the client's own: a pipe in the place of one would otherwise hold
    // the start for good, waiting for a writer.
    const std::optional<QByteArray> bytes = readOwnFile(path, kMaxBytes);
    return bytes ? fromData(*bytes) : QVariant();
}

bool writeFile(const QString& path, const QVariant& value) {
    const QByteArray xml = toXml(value);
    // Better the file we have than one the next start would refuse.
    if (!isAcceptable(xml)) return false;
    // Owner-only and in one step; whatever is in the file's place is replaced, never written
    // through.
    return replaceFile(path, xml);
}

} // namespace ns::PropertyList
