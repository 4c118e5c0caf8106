# Turns the help text of dravovexa-cli (dravovexa-cli --help) into its
# manual page, so that the page says what the program says:
#   awk -v version=1.17 -v date=2026-12-09 -f help-to-man.awk < help.txt
# The first line ("Uso: ...") is the synopsis, the paragraph after it the
# description; a line ending in ":" ("Comandos:", "Opções:") starts a
# section whose indented lines are "TERM  text" entries (text continued on
# more deeply indented lines); any later plain paragraph goes to NOTAS.

# toupper of awks that know no UTF-8 (mawk) leaves accented letters alone.
function upper(text,    i, lower, upperLetters) {
    text = toupper(text)
    split("á é í ó ú â ê ô ã õ ç à", lower, " ")
    split("Á É Í Ó Ú Â Ê Ô Ã Õ Ç À", upperLetters, " ")
    for (i = 1; i in lower; i++) gsub(lower[i], upperLetters[i], text)
    return text
}

function roff(text) {
    gsub(/\\/, "\\e", text)
    gsub(/-/, "\\-", text)
    sub(/^[.']/, "\\\\\\&&", text)
    return text
}

BEGIN {
    print ".TH DRAVOVEXA-CLI 1 \"" date "\" \"dravovexa " version "\" \"Comandos do usuário\""
    print ".nh"
    print ".SH NOME"
    print "dravovexa\\-cli \\- opera o equipamento SAT\\-CF\\-e pela linha de comando"
    state = "synopsis"
}

state == "synopsis" {
    sub(/^Uso: */, "")
    print ".SH SINOPSE"
    print ".B " roff($0)
    state = "description"
    next
}

/^$/ {
    paragraphEnded = 1
    next
}

/^[^ ].*:$/ {
    title = upper(substr($0, 1, length($0) - 1))
    print ".SH " title
    state = "list"
    textColumn = 0
    paragraphEnded = 0
    next
}

state == "list" && /^  [^ ]/ {
    # The texts of a list start in one column, that of its first entry's
    # text; a term may fill the column up to one blank before it.
    if (!textColumn && match($0, /^  [^ ]+( [^ ]+)*  +/)) {
        textColumn = RLENGTH + 1
    }
    if (textColumn && length($0) >= textColumn && substr($0, textColumn - 1, 1) == " ") {
        term = substr($0, 3, textColumn - 3)
        text = substr($0, textColumn)
    } else {
        term = substr($0, 3)
        text = ""
    }
    sub(/ +$/, "", term)
    print ".TP"
    print ".B " roff(term)
    if (text != "") print roff(text)
    next
}

state == "list" && /^   / {
    line = $0
    sub(/^ +/, "", line)
    print roff(line)
    next
}

{
    if (state == "description") {
        if (!described) {
            print ".SH DESCRIÇÃO"
            described = 1
        } else if (paragraphEnded) {
            print ".PP"
        }
    } else if (state == "list" || paragraphEnded) {
        if (!noted) {
            print ".SH NOTAS"
            noted = 1
        } else {
            print ".PP"
        }
        state = "notes"
    }
    paragraphEnded = 0
    print roff($0)
}

END {
    print ".SH VEJA TAMBÉM"
    print ".BR dravovexa (1),"
    print ".BR update\\-alternatives (1)"
}
