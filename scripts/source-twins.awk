# Reads apt source files (one-line *.list and deb822 *.sources) and prints a
# deb822 deb-src stanza for every enabled deb entry of the release archive:
# an archive (URI) that has a deb entry for the suite `codename` itself. Of
# such entries it keeps the suites of the release (`codename` and
# "codename-..."), minus those that already have a deb-src entry. Separate
# archives such as the security one are left alone. With an empty `codename`
# every deb entry is twinned whole. Used by setup.sh.
#
# With `want` set to "backports" it prints instead a deb stanza for the
# release's backports suite ("codename-backports") of each release archive
# that has no deb entry for that suite yet.

function trim(s) {
  sub(/^[ \t]+/, "", s)
  sub(/[ \t]+$/, "", s)
  return s
}

function has_word(list, word, parts, n, i) {
  n = split(list, parts, /[ \t]+/)
  for (i = 1; i <= n; i++) if (parts[i] == word) return 1
  return 0
}

function add_entry(types, uris, suites, components, signedBy) {
  count++
  typeOf[count] = types
  urisOf[count] = trim(uris)
  suitesOf[count] = trim(suites)
  componentsOf[count] = trim(components)
  signedOf[count] = signedBy
}

function start_stanza() {
  sTypes = sUris = sSuites = sComponents = sSigned = field = ""
  sEnabled = 1
}

function end_stanza() {
  if (sTypes != "" && sEnabled) add_entry(sTypes, sUris, sSuites, sComponents, sSigned)
  start_stanza()
}

function read_deb822_line(line, colon, value) {
  if (line ~ /^#/) return
  if (line ~ /^[ \t]*$/) { end_stanza(); return }
  if (line ~ /^[ \t]/) {  # a continuation, e.g. of an embedded key
    if (field == "signed-by") sSigned = sSigned "\n" line
    return
  }
  colon = index(line, ":")
  if (colon == 0) return
  field = tolower(trim(substr(line, 1, colon - 1)))
  value = trim(substr(line, colon + 1))
  if (field == "types") sTypes = value
  else if (field == "uris") sUris = value
  else if (field == "suites") sSuites = value
  else if (field == "components") sComponents = value
  else if (field == "signed-by") sSigned = value
  else if (field == "enabled") sEnabled = tolower(value) != "no"
}

# deb [options] uri suite component...
function read_one_line(line, type, options, n, words, i, opt, kv, signedBy, rest) {
  sub(/#.*/, "", line)
  line = trim(line)
  if (line !~ /^deb(-src)?[ \t]/) return
  split(line, words, /[ \t]+/)
  type = words[1]
  rest = trim(substr(line, length(type) + 1))
  signedBy = ""
  if (substr(rest, 1, 1) == "[") {
    options = substr(rest, 2, index(rest, "]") - 2)
    rest = trim(substr(rest, index(rest, "]") + 1))
    n = split(options, opt, /[ \t]+/)
    for (i = 1; i <= n; i++) {
      split(opt[i], kv, "=")
      if (tolower(kv[1]) == "signed-by") signedBy = substr(opt[i], length(kv[1]) + 2)
    }
  }
  n = split(rest, words, /[ \t]+/)
  if (n < 2) return
  rest = ""
  for (i = 3; i <= n; i++) rest = rest " " words[i]
  add_entry(type, words[1], words[2], rest, signedBy)
}

function release_suite(suite) {
  return codename == "" || suite == codename || index(suite, codename "-") == 1
}

# Marks the URIs of deb entries that carry the suite `codename` itself.
function find_release_archives(i, uris, suites, nu, u) {
  for (i = 1; i <= count; i++) {
    if (!has_word(typeOf[i], "deb") || !has_word(suitesOf[i], codename)) continue
    nu = split(urisOf[i], uris, /[ \t]+/)
    for (u = 1; u <= nu; u++) releaseArchive[uris[u]] = 1
  }
}

function in_release_archive(i, uris, nu, u) {
  if (codename == "") return 1
  nu = split(urisOf[i], uris, /[ \t]+/)
  for (u = 1; u <= nu; u++) if (uris[u] in releaseArchive) return 1
  return 0
}

# Suites of entry i that are of this release and not yet covered by deb-src.
function wanted_suites(i, suites, uris, ns, nu, s, u, kept, missing) {
  ns = split(suitesOf[i], suites, /[ \t]+/)
  nu = split(urisOf[i], uris, /[ \t]+/)
  kept = ""
  for (s = 1; s <= ns; s++) {
    if (!release_suite(suites[s])) continue
    missing = 0
    for (u = 1; u <= nu; u++) if (!((uris[u], suites[s]) in covered)) missing = 1
    if (missing) kept = kept (kept == "" ? "" : " ") suites[s]
  }
  return kept
}

function print_twin(i, suites, type) {
  if (printed++) print ""
  print "Types: " type
  print "URIs: " urisOf[i]
  print "Suites: " suites
  if (componentsOf[i] != "") print "Components: " componentsOf[i]
  # An embedded key starts on the next line.
  if (signedOf[i] != "") print "Signed-By:" (signedOf[i] ~ /^\n/ ? "" : " ") signedOf[i]
}

BEGIN { start_stanza() }
FNR == 1 { end_stanza(); deb822 = FILENAME ~ /\.sources$/ }
deb822 { read_deb822_line($0); next }
{ read_one_line($0) }

END {
  end_stanza()
  find_release_archives()
  if (want == "backports") { print_backports(); exit }
  for (i = 1; i <= count; i++) {
    if (!has_word(typeOf[i], "deb-src")) continue
    nu = split(urisOf[i], uris, /[ \t]+/)
    ns = split(suitesOf[i], suites, /[ \t]+/)
    for (u = 1; u <= nu; u++) for (s = 1; s <= ns; s++) covered[uris[u], suites[s]] = 1
  }
  for (i = 1; i <= count; i++) {
    if (!has_word(typeOf[i], "deb") || has_word(typeOf[i], "deb-src")) continue
    if (!in_release_archive(i)) continue
    kept = wanted_suites(i)
    if (kept != "") print_twin(i, kept, "deb-src")
  }
}

# One deb stanza for "codename-backports" per release archive entry that
# carries the release itself, unless a deb entry already names that suite.
function print_backports(i, u, nu, uris, suite, missing) {
  suite = codename "-backports"
  for (i = 1; i <= count; i++) {
    if (!has_word(typeOf[i], "deb") || !has_word(suitesOf[i], suite)) continue
    nu = split(urisOf[i], uris, /[ \t]+/)
    for (u = 1; u <= nu; u++) covered[uris[u], suite] = 1
  }
  for (i = 1; i <= count; i++) {
    if (!has_word(typeOf[i], "deb") || !has_word(suitesOf[i], codename)) continue
    nu = split(urisOf[i], uris, /[ \t]+/)
    missing = 0
    for (u = 1; u <= nu; u++) if (!((uris[u], suite) in covered)) missing = 1
    if (missing) print_twin(i, suite, "deb")
  }
}
