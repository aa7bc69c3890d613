# Proves that CheckLanguageFile.cmake catches the faults a translator can make: each case copies
# the shipped German (or English) file, breaks one thing, runs the check on the copy and expects
# it to fail with the matching diagnosis. A case whose edit no longer applies to the shipped
# file fails too, so the cases cannot go quietly stale.
#
#   cmake -DLNG_DIR=<data/lng> -DCHECK_SCRIPT=<CheckLanguageFile.cmake> -DWORK_DIR=<folder>
#         -DMSGFMT=... -DMSGCMP=... -DMSGMERGE=... -DMSGGREP=... -DMSGEXEC=... -P <this file>
cmake_minimum_required(VERSION 3.25)

file(READ "${LNG_DIR}/de.po" german)
file(READ "${LNG_DIR}/en.po" english)
set(failures "")

# Writes <text> as <case>/<file>, checks it with <language id> and expects a failure whose output
# matches <expected>.
function(expect_rejected case file language_id text expected)
    set(dir "${WORK_DIR}/${case}")
    file(REMOVE_RECURSE "${dir}")
    file(MAKE_DIRECTORY "${dir}")
    file(WRITE "${dir}/${file}" "${text}")
    set(reference "${LNG_DIR}/en.po")
    if(file STREQUAL "en.po")
        set(reference "${dir}/en.po")
    endif()
    execute_process(
        COMMAND ${CMAKE_COMMAND} -DPO=${dir}/${file} -DREFERENCE=${reference}
                -DLANGUAGE_ID=${language_id} -DWORK_DIR=${dir}/work -DMSGFMT=${MSGFMT}
                -DMSGCMP=${MSGCMP} -DMSGMERGE=${MSGMERGE} -DMSGGREP=${MSGGREP}
                -DMSGEXEC=${MSGEXEC} -P ${CHECK_SCRIPT}
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(rc EQUAL 0)
        set(failures "${failures}\n  ${case}: the check passed a broken file" PARENT_SCOPE)
    elseif(NOT "${out}${err}" MATCHES "${expected}")
        set(failures "${failures}\n  ${case}: expected \"${expected}\", got:\n${out}${err}"
            PARENT_SCOPE)
    endif()
endfunction()

# Replaces <from> by <to> in <text> into <result>; the case fails if <from> is not there.
function(edit result text from to)
    string(FIND "${text}" "${from}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the shipped file no longer contains: ${from}")
    endif()
    string(REPLACE "${from}" "${to}" edited "${text}")
    set(${result} "${edited}" PARENT_SCOPE)
endfunction()

edit(text "${german}" "msgstr \"Telefon: %1\"" "msgstr \"Telefon:\"")
expect_rejected(placeholder-dropped de.po 1031 "${text}" "placeholders differ")

edit(text "${german}" "#, qt-format\nmsgctxt \"10236\"\nmsgid \"Phone: %1\"\nmsgstr \"Telefon: %1\""
     "msgctxt \"10236\"\nmsgid \"Phone: %1\"\nmsgstr \"Telefon: %2\"")
expect_rejected(flag-and-placeholder-changed de.po 1031 "${text}" "needs the flag")

edit(text "${german}" "msgctxt \"10299\"" "#, fuzzy\nmsgctxt \"10299\"")
expect_rejected(fuzzy-entry de.po 1031 "${text}" "missing, untranslated or fuzzy")

string(REGEX REPLACE "\n(#\\.[^\n]*\n)+msgctxt \"10299\".*$" "\n" text "${german}")
expect_rejected(id-missing de.po 1031 "${text}" "missing, untranslated or fuzzy")

expect_rejected(id-added de.po 1031
                "${german}\nmsgctxt \"10220\"\nmsgid \"Extra\"\nmsgstr \"Zusatz\"\n"
                "a text that the English file lacks")

edit(text "${german}" "msgid \"Disk Full\"" "msgid \"Disk full\"")
expect_rejected(english-text-changed de.po 1031 "${text}" "missing, untranslated or fuzzy")

edit(text "${german}" "msgctxt \"10299\"" "msgctxt \"10298\"")
expect_rejected(id-twice de.po 1031 "${text}" "text id 10298 appears twice")

edit(text "${german}" "msgstr \"Schreibfehler\"" "msgstr \"Schreibfehler (100%)\"")
expect_rejected(literal-percent de.po 1031 "${text}" "percent sign that is not a placeholder")

edit(text "${german}" "X-Contaxio-Signature: 3C5F" "X-Contaxio-Signature: 3C5E")
expect_rejected(wrong-signature de.po 1031 "${text}" "lacks the line \"X-Contaxio-Signature: 3C5F\"")

expect_rejected(wrong-language-id de.po 1033 "${german}"
                "lacks the line \"X-Contaxio-Language-Id: 1033\"")

edit(text "${english}" "msgstr \"Disk Full\"" "msgstr \"Disk full\"")
expect_rejected(english-msgstr-differs en.po 1033 "${text}" "msgstr differs from its msgid:.*text 10269")

if(failures)
    message(FATAL_ERROR "The language file check let faults through:${failures}")
endif()
