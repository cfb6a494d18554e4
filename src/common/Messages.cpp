#include "common/Messages.h"

#include "common/ErrorRoutine.h"
#include "common/MessageBoxService.h"
#include "common/TrimSpaces.h"
#include "platform/Text1252.h"

#include <QHash>

namespace ks3 {

namespace {

const QString kProductName = QStringLiteral("Kestrel Tools Convert");

// The button sets of the platform's style codes, with the answer code of each
// button. "Abandonner" answers "cancel" in every set, as the suite always did.
struct ButtonSet {
    QStringList captions;
    QList<int> answers;
};

ButtonSet buttonSet(int code) {
    switch (code) {
    case 1:
        return {{QStringLiteral("Ok"), QStringLiteral("Abandonner")}, {1, 2}};
    case 2:
        return {{QStringLiteral("Abandonner"), QStringLiteral("Réessayer"), QStringLiteral("Ignorer")},
                {2, 4, 5}};
    case 3:
        return {{QStringLiteral("Oui"), QStringLiteral("Non"), QStringLiteral("Annuler")}, {6, 7, 2}};
    case 4:
        return {{QStringLiteral("Oui"), QStringLiteral("Non")}, {6, 7}};
    case 5:
        return {{QStringLiteral("Réessayer"), QStringLiteral("Annuler")}, {4, 2}};
    default:
        return {{QStringLiteral("Ok")}, {1}};
    }
}

// Control characters, characters above 250 in the code page and characters the
// code page cannot hold become spaces; the French letters the suite uses stay.
QString printable(const QString& detail) {
    static const QString kept = QStringLiteral("éèàçûôâëù");
    QString out;
    out.reserve(detail.size());
    for (const char32_t cp : detail.toUcs4()) {
        const QString one = QString::fromUcs4(&cp, 1);
        if (kept.contains(one)) {
            out += one;
            continue;
        }
        const QByteArray b = toCp1252(one);
        const bool encodable = b.size() == 1 && (b.at(0) != '?' || cp == U'?');
        const unsigned char code = encodable ? static_cast<unsigned char>(b.at(0)) : 0;
        if (!encodable || code < 32 || code > 250)
            out += QLatin1Char(' ');
        else
            out += one;
    }
    return out;
}

// Numbers of the suite's message table (94 of them).
bool inNumberedTable(int n) {
    return (n >= 1 && n <= 9) || (n >= 1000 && n <= 1004) || (n >= 1006 && n <= 1015) ||
           (n >= 2000 && n <= 2005) || (n >= 10000 && n <= 10016) || (n >= 10018 && n <= 10023) ||
           (n >= 11000 && n <= 11023) || (n >= 11025 && n <= 11027) || (n >= 20000 && n <= 20007) ||
           n == 20100 || n == 30000 || n == 30001 || n == 35000 || n == 35001 || n == 40000;
}

QString numberedText(int number, const QString& detail) {
    switch (number) {
    case 9:
        return QStringLiteral("N° station hors limite:") + detail;
    case 1000:
        return QStringLiteral("Fichier de paramètres défectueux");
    case 1010:
        return QStringLiteral("Dossier '") + detail + QStringLiteral("' non trouvé");
    case 2000:
        return detail;
    case 2003:
        return QStringLiteral("Fichier ") + detail + QStringLiteral(" non ouvert");
    case 10013:
    case 20100:
        return QString();
    default:
        break;
    }
    // The suite's other numbered texts are never raised by this program; a number
    // of the table still says which one it is and keeps its detail.
    if (inNumberedTable(number))
        return QStringLiteral("Erreur ") + QString::number(number) +
               (detail.isEmpty() ? QString() : QStringLiteral(" : ") + detail);
    return QStringLiteral("Err:") + QString::number(number) + QStringLiteral(" inconnue");
}

struct CatalogueKey {
    QString section;
    int number;
    bool operator==(const CatalogueKey& o) const { return number == o.number && section == o.section; }
};
size_t qHash(const CatalogueKey& k, size_t salt = 0) {
    return ::qHash(k.section, salt) ^ ::qHash(k.number, salt);
}

const QHash<CatalogueKey, QString>& catalogue() {
    static const QHash<CatalogueKey, QString> texts = {
        {{QStringLiteral("Droits"), 3}, QStringLiteral("Erreur")},
        {{QStringLiteral("Internet"), 8}, QStringLiteral("Fichier")},
        {{QStringLiteral("Divers00"), 34}, QStringLiteral("Faîtes une restauration de ce fichier")},
        {{QStringLiteral("Jour"), 1}, QStringLiteral("Lundi")},
        {{QStringLiteral("Jour"), 2}, QStringLiteral("Mardi")},
        {{QStringLiteral("Jour"), 3}, QStringLiteral("Mercredi")},
        {{QStringLiteral("Jour"), 4}, QStringLiteral("Jeudi")},
        {{QStringLiteral("Jour"), 5}, QStringLiteral("Vendredi")},
        {{QStringLiteral("Jour"), 6}, QStringLiteral("Samedi")},
        {{QStringLiteral("Jour"), 7}, QStringLiteral("Dimanche")},
    };
    return texts;
}

} // namespace

int AffMsg(const QString& message, int style, const QString& title, bool noWait, int timeoutMs, int zone) {
    Procedure p("Lib_Public", "AffMsg");
    int icon = 0;
    ButtonSet set;
    QString caption;
    int result = 0;
    p.step(10, [&] {
        if (style >= 65536)
            style -= 65536;
        // Each icon code is tested once, largest first, as the platform's sums are made.
        for (const int code : {64, 48, 32, 16}) {
            if (style >= code) {
                icon = code;
                style -= code;
            }
        }
        if (icon == 0)
            icon = 64;
    });
    p.step(20, [&] { set = buttonSet(style); });
    p.step(30, [&] {
        caption = trimSpaces(title);
        if (caption.isEmpty()) {
            const std::optional<QString> active = messageBoxService().activeWindowTitle();
            if (!active)
                raiseError(91, QStringLiteral("Object variable or With block variable not set"));
            caption = trimSpaces(*active);
        }
    });
    p.step(40, [&] {
        ChoiceBoxRequest r;
        r.message = trimSpaces(message);
        r.buttons = set.captions;
        r.title = caption;
        r.xPos = -1;
        r.yPos = -1;
        r.alignment = 2;
        r.defaultButton = 1; // so a time-out presses the first button
        r.timeoutMs = timeoutMs;
        r.icon = icon;
        r.noWait = noWait;
        r.zone = zone;
        result = messageBoxService().choiceBox(r);
    });
    if (noWait)
        return 1;
    if (result >= 1 && result <= set.answers.size())
        return set.answers.at(result - 1);
    return 0;
}

void GestErr_Fra(int number, const QString& detail, const QString& title, bool silent,
                 const QString& procedure) {
    Procedure p("Lib_Public", "GestErr_Fra");
    QString d;
    QString message;
    QString caption = title;
    int style = 48;
    p.step(10, [&] { d = trimSpaces(printable(detail)); });
    p.step(20, [&] { message = numberedText(number, d); });
    p.step(30, [&] {
        // A title of the form "(Source:...)" is the caller's origin: it goes under the text.
        if (caption.indexOf(QStringLiteral("Source:"), 0, Qt::CaseInsensitive) == 1) {
            message += QStringLiteral("\r\n") + caption;
            caption = LibelleMessage(QStringLiteral("Droits"), 3, 0);
        } else if (trimSpaces(caption).isEmpty()) {
            caption = LibelleMessage(QStringLiteral("Droits"), 3, 0);
        }
    });
    p.step(40, [&] {
        if (!trimSpaces(procedure).isEmpty())
            message += QStringLiteral("\n(Sub: ") + procedure + QLatin1Char(')');
    });
    if (silent)
        return;
    p.step(50, [&] {
        if (number == 5) {
            style = 64;
            caption = kProductName + QStringLiteral(" - convertisseur audio");
        } else if (number == 9 || number == 1001) {
            style = 16;
        }
    });
    p.step(60, [&] { AffMsg(trimSpaces(message), style, trimSpaces(caption), false, 0, -1); });
}

QString LibelleMessage(const QString& section, int number, int format) {
    const auto it = catalogue().constFind(CatalogueKey{section, number});
    if (it == catalogue().constEnd())
        return QStringLiteral("???:") + section + QLatin1Char(':') + QString::number(number) +
               QStringLiteral(":???");
    if (format == 3 && section == QLatin1String("Jour"))
        return it->left(3);
    return *it;
}

} // namespace ks3
