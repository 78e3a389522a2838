#include "fieldtheme.h"

#include "configini.h"

QString FieldStyleSheet(const QString &type)
{
    ConfigIni *config = ConfigIni::GetInstance();
    const QString option = QStringLiteral("Option");
    return type + QStringLiteral("{color: rgb(") + config->ColorTriple(option, QStringLiteral("LinEditColor"))
           + QStringLiteral(";);background-color: rgb(")
           + config->ColorTriple(option, QStringLiteral("ComboxBackGroundColor"))
           + QStringLiteral(");border:1px solid rgba(255,255,255,60);}");
}
