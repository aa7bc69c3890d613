# Checks one UI language file with gettext's own tools, against the English file that every
# language must match. Run as a script:
#
#   cmake -DPO=<file> -DREFERENCE=<en.po> -DLANGUAGE_ID=<decimal> -DWORK_DIR=<folder>
#         -DMSGFMT=... -DMSGCMP=... -DMSGMERGE=... -DMSGGREP=... -DMSGEXEC=... -P CheckLanguageFile.cmake
#
# What it checks:
# - the header: the signature 3C5F, the expected language id (once), UTF-8, Language and
#   Plural-Forms;
# - every entry has a text id from 10201 to 10299 (the pages') or 10301 to 10399 (the causes')
#   as its context, and no id appears twice;
# - no text holds a percent sign other than a placeholder %1 to %9, and every entry whose English
#   text has a placeholder carries the qt-format flag;
# - the English file: every msgstr equals its msgid;
# - any other language: exactly the English file's ids with the same English texts (msgcmp both
#   ways), every entry translated and none fuzzy, and every translation has the placeholders of
#   its English text (msgmerge takes the format flags from the English file, msgfmt compares).
cmake_minimum_required(VERSION 3.25)

foreach(var PO REFERENCE LANGUAGE_ID WORK_DIR MSGFMT MSGCMP MSGMERGE MSGGREP MSGEXEC)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "CheckLanguageFile.cmake: ${var} is not set")
    endif()
endforeach()

get_filename_component(name "${PO}" NAME)
set(problems "")
macro(problem text)
    string(APPEND problems "\n  ${name}: ${text}")
endmacro()

# Runs a gettext tool; a non-zero exit adds a problem with the tool's own messages.
function(run_tool what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        set(problems "${problems}\n  ${name}: ${what}:\n${out}${err}" PARENT_SCOPE)
    endif()
endfunction()

# Runs msggrep with the given selection and sets <result> to its output (empty: nothing matched).
function(select_entries result file)
    execute_process(COMMAND ${MSGGREP} ${ARGN} "${file}" RESULT_VARIABLE rc
                    OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${MSGGREP} failed on ${file}: ${err}")
    endif()
    set(${result} "${out}" PARENT_SCOPE)
endfunction()

file(READ "${PO}" content)

# Header fields, each a whole line of the header's msgstr.
foreach(field "X-Contaxio-Signature: 3C5F" "X-Contaxio-Language-Id: ${LANGUAGE_ID}"
              "Content-Type: text/plain; charset=UTF-8")
    string(FIND "${content}" "\n\"${field}\\n\"\n" at)
    if(at EQUAL -1)
        problem("the header lacks the line \"${field}\"")
    endif()
endforeach()
string(REGEX MATCHALL "\n\"X-Contaxio-Language-Id:" ids_in_header "${content}")
list(LENGTH ids_in_header count)
if(NOT count EQUAL 1)
    problem("the header has ${count} language ids, not one")
endif()
foreach(field "Language: [a-z][a-z]" "Plural-Forms: nplurals=[0-9]")
    if(NOT content MATCHES "\n\"${field}")
        problem("the header lacks \"${field}...\"")
    endif()
endforeach()

# Text ids: one context per entry, numbers from 10201 to 10299 or 10301 to 10399, each once.
string(REGEX MATCHALL "\nmsgctxt \"[^\"\n]*\"" contexts "${content}")
string(REGEX MATCHALL "\nmsgid " entries "${content}")
list(LENGTH contexts context_count)
list(LENGTH entries entry_count)
math(EXPR text_count "${entry_count} - 1")
if(NOT context_count EQUAL text_count)
    problem("${text_count} texts but ${context_count} contexts: every text needs its id as msgctxt")
endif()
set(ids "")
foreach(context IN LISTS contexts)
    # (Parentheses are evaluated first, so the match comes before the ranges.)
    set(id "")
    if(context MATCHES "\"([0-9]+)\"$")
        set(id "${CMAKE_MATCH_1}")
    endif()
    if(id AND ((id GREATER_EQUAL 10201 AND id LESS_EQUAL 10299)
               OR (id GREATER_EQUAL 10301 AND id LESS_EQUAL 10399)))
        if(id IN_LIST ids)
            problem("text id ${id} appears twice")
        endif()
        list(APPEND ids "${id}")
    else()
        string(STRIP "${context}" context)
        problem("${context} is not a text id from 10201 to 10299 or 10301 to 10399")
    endif()
endforeach()

# Percent signs: only placeholders %1 to %9, and those only in entries flagged qt-format.
select_entries(literal "${PO}" -K -T -E -e "%([^1-9]|$)")
if(literal MATCHES "msgctxt")
    problem("a percent sign that is not a placeholder %1 to %9:\n${literal}")
endif()
select_entries(with_placeholders "${PO}" -K -E -e "%[1-9]")
string(REGEX MATCHALL "\nmsgctxt " placeholder_entries "${with_placeholders}")
string(REGEX MATCHALL "\n#,[^\n]* qt-format" flagged_entries "${with_placeholders}")
list(LENGTH placeholder_entries placeholder_count)
list(LENGTH flagged_entries flagged_count)
if(NOT placeholder_count EQUAL flagged_count)
    problem("every text with a placeholder needs the flag \"#, qt-format\":\n${with_placeholders}")
endif()

get_filename_component(po_path "${PO}" REALPATH)
get_filename_component(reference_path "${REFERENCE}" REALPATH)
if(po_path STREQUAL reference_path)
    run_tool("an English text whose msgstr differs from its msgid" ${MSGEXEC} -i "${PO}" sh -c
             "test -z \"$MSGEXEC_MSGID\" || test \"$MSGEXEC_MSGID\" = \"$(cat)\" || ! echo \"text $MSGEXEC_MSGCTXT\"")
else()
    run_tool("an English text that is missing, untranslated or fuzzy here" ${MSGCMP} "${PO}" "${REFERENCE}")
    run_tool("a text that the English file lacks" ${MSGCMP} "${REFERENCE}" "${PO}")
    file(MAKE_DIRECTORY "${WORK_DIR}")
    set(merged "${WORK_DIR}/${name}.with-english-flags.po")
    run_tool("merging with the English file failed" ${MSGMERGE} --quiet --no-fuzzy-matching
             -o "${merged}" "${PO}" "${REFERENCE}")
    if(EXISTS "${merged}")
        run_tool("a translation whose placeholders differ from its English text's" ${MSGFMT}
                 --check-format --use-fuzzy -o /dev/null "${merged}")
    endif()
endif()

if(problems)
    message(FATAL_ERROR "Language file check failed:${problems}")
endif()
message(STATUS "${name}: ${context_count} texts, language ${LANGUAGE_ID}: OK")
