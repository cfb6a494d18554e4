#include "engine/ConverterCommand.h"

namespace ks3 {

namespace {
const QString kQt = QStringLiteral("{qt}");

// name="value" in the text; name=value as an argument.
struct Setting {
    QString name;
    QString value;
};

QList<Setting> settingsOf(int cible, int index) {
    auto rates = [&](std::initializer_list<const char*> values) -> QString {
        if (index < 0 || index >= int(values.size()))
            return QString();
        return QString::fromLatin1(*(values.begin() + index));
    };
    switch (cible) {
    case 0: {
        const QString f = rates({"44100", "48000", "96000", "192000"});
        if (f.isEmpty())
            return {};
        return {{"-bits", "16"}, {"-freq", f}, {"-channels", "2"}};
    }
    case 1:
    case 8: {
        const QString b = rates({"128", "192", "256", "384"});
        if (b.isEmpty())
            return {};
        return {{"-s", "48000"}, {"-b", b}, {"-c", "2"}};
    }
    case 2: {
        const QString b = rates({"128", "192", "256", "320"});
        if (b.isEmpty())
            return {};
        return {{"-s", "44100"}, {"-b", b}};
    }
    case 3: {
        static const char* q[] = {"-0.1", "0.0", "0.1", "0.2", "0.3", "0.4",
                                  "0.5",  "0.6", "0.7", "0.8", "0.9", "1.0"};
        static const char* b[] = {"48",  "64",  "80",  "96",  "112", "128",
                                  "160", "192", "224", "256", "350", "500"};
        if (index < 0 || index > 11)
            return {};
        return {{"-q", q[index]}, {"-b", b[index]}, {"--managed", QString()}};
    }
    case 4:
    case 5: {
        const QString bits = rates({"8", "16", "24", "32"});
        if (bits.isEmpty())
            return {};
        QList<Setting> s{{"-compression", "PCM"}, {"-bits", bits}, {"-freq", "44100"}};
        if (cible == 5)
            s.append(Setting{"-channels", "2"});
        return s;
    }
    case 6:
        if (index != 0)
            return {};
        return {{"-codec", "Windows Media Audio 10 Professional"},
                {"-settings", "256 kbps, 48 kHz, 2 channel 16 bit CBR"}};
    case 7:
        return {{"-compression-level-5", QString()}};
    default:
        return {};
    }
}

QString codecOf(int cible) {
    switch (cible) {
    case 0:
        return QStringLiteral("Aiff");
    case 1:
    case 8:
        return QStringLiteral("mp2");
    case 2:
        return QStringLiteral("mp3 (Lame)");
    case 3:
        return QStringLiteral("Ogg Vorbis");
    case 4:
        return QStringLiteral("wave");
    case 5:
        return QStringLiteral("Wave64");
    case 6:
        return QStringLiteral("Windows Media Audio 10");
    case 7:
        return QStringLiteral("FLAC");
    default:
        return QString();
    }
}

QString quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}
} // namespace

QStringList effectArguments(const ConverterOptions& o) {
    QStringList bodies;
    if (o.cutActive) {
        QString e = QStringLiteral("Trim Silence=");
        if (!o.cutDebut)
            e += QStringLiteral(" -nobegin");
        if (!o.cutFin)
            e += QStringLiteral(" -noend");
        if (o.cutSilence == 0)
            e += QStringLiteral(" -digsilence");
        e += QStringLiteral(" -dbsilence=") + kQt + o.cutSeuildB + kQt;
        e += QStringLiteral(" -threshold=") + kQt + o.cutSeuilDuree + kQt;
        bodies << e;
    }
    if (o.normActive) {
        static const char* modes[] = {"peak", "rg", "adapt", "fixed"};
        QString e = QStringLiteral("Volume Normalize=");
        if (o.normNature >= 0 && o.normNature <= 3)
            e += QStringLiteral(" -mode=") + kQt + QLatin1String(modes[o.normNature]) + kQt;
        e += QStringLiteral(" -maxamp=") + kQt + o.normValeurMax + kQt;
        e += QStringLiteral(" -desiredb=") + kQt + QString::number(o.normValeurDesiree) + kQt;
        e += QStringLiteral(" -adapt_wnd=") + kQt + QStringLiteral("6000") + kQt;
        e += QStringLiteral(" -fixed=") + kQt + QString::number(o.normValeurFixe) + kQt;
        bodies << e;
    }
    if (o.eqActive) {
        QStringList bands;
        for (int b : o.eqBandes)
            bands << QString::number(b * 10);
        bodies << QStringLiteral("Graphic Equalizer= -EQ=") + kQt + bands.join(QStringLiteral(", ")) + kQt;
    }
    QStringList args;
    for (int i = 0; i < bodies.size(); ++i)
        args << QStringLiteral("-dspeffect%1=").arg(i + 1) + bodies.at(i);
    return args;
}

QStringList formatArguments(const ConverterOptions& o, bool udpRequest, bool* hasConvertTo) {
    QStringList args;
    QList<Setting> settings;
    if (udpRequest) {
        args << QStringLiteral("-convert_to=mp2");
        settings = {{"-s", "48000"}, {"-b", "256"}, {"-c", "2"}};
    } else {
        const QString codec = codecOf(o.cible);
        if (!codec.isEmpty()) {
            args << QStringLiteral("-convert_to=") + codec;
            settings = settingsOf(o.cible, o.caracteristiques);
        }
    }
    if (hasConvertTo)
        *hasConvertTo = !args.isEmpty();
    for (const Setting& s : settings)
        args << (s.value.isNull() ? s.name : s.name + QLatin1Char('=') + s.value);
    return args;
}

ConverterCommand buildConverterCommand(const QString& converterPath, const QString& source,
                                       const QString& target, const QString& errorFile,
                                       const ConverterOptions& options, bool udpRequest) {
    ConverterCommand c;
    c.program = converterPath;
    c.arguments << QStringLiteral("-infile=") + source << QStringLiteral("-outfile=") + target
                << QStringLiteral("-errorfile=") + errorFile;
    c.text = converterPath + QLatin1Char(' ') + QStringLiteral("-infile=") + quoted(source) +
             QStringLiteral(" -outfile=") + quoted(target) + QStringLiteral(" -errorfile=") +
             quoted(errorFile);

    if (!udpRequest) {
        for (const QString& effect : effectArguments(options)) {
            const qsizetype eq = effect.indexOf(QLatin1Char('='));
            c.text += QLatin1Char(' ') + effect.left(eq + 1) + quoted(effect.mid(eq + 1));
            c.arguments << effect;
        }
    }

    bool hasConvertTo = false;
    const QStringList format = formatArguments(options, udpRequest, &hasConvertTo);
    if (hasConvertTo) {
        // -convert_to="codec", a space, then the settings separated by one space
        // (with no settings the command ends with that space).
        c.text += QStringLiteral(" -convert_to=") + quoted(format.first().mid(int(qstrlen("-convert_to="))));
        QStringList settingTexts;
        for (int i = 1; i < format.size(); ++i) {
            const QString& a = format.at(i);
            const qsizetype eq = a.indexOf(QLatin1Char('='));
            settingTexts << (eq < 0 ? a : a.left(eq + 1) + quoted(a.mid(eq + 1)));
        }
        c.text += QLatin1Char(' ') + settingTexts.join(QLatin1Char(' '));
        c.arguments << format;
    }
    return c;
}

} // namespace ks3
