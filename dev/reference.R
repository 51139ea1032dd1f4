# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the p-values of R's fisher.test (two-sided) and chisq.test (Yates' correction) for
# fourfold tables. Usage: Rscript dev/reference.R OUTPUT.tsv
output <- commandArgs(trailingOnly = TRUE)[1]
set.seed(20261206)

max_count <- 999999L
usable <- function(t) {
  all(t >= 0) && all(t <= max_count) &&
    t[1] + t[2] > 0 && t[3] + t[4] > 0 && t[1] + t[3] > 0 && t[2] + t[4] > 0
}
expected <- function(t) {
  r <- c(t[1] + t[2], t[3] + t[4]); k <- c(t[1] + t[3], t[2] + t[4]); n <- sum(t)
  c(r[1] * k[1], r[1] * k[2], r[2] * k[1], r[2] * k[2]) / n
}
p_values <- function(t) {
  m <- matrix(as.numeric(t), nrow = 2, byrow = TRUE)
  fisher <- fisher.test(m, conf.int = FALSE)$p.value
  chisq <- suppressWarnings(chisq.test(m, correct = TRUE)$p.value)
  c(fisher, chisq)
}
any_magnitude <- function(k) pmin(max_count, floor(10^runif(k, 0, 6)) - 1L)

tables <- list()
seen <- new.env()
add <- function(t, kind) {
  t <- as.integer(t)
  key <- paste(t, collapse = " ")
  if (usable(t) && is.null(seen[[key]])) {
    seen[[key]] <- TRUE
    tables[[length(tables) + 1]] <<- list(t = t, kind = kind)
  }
}

# Fixed tables: worked examples, exact ties with a level, extremes.
fixed <- list(c(5, 5, 5, 5), c(6, 4, 4, 6), c(1, 9, 11, 3), c(10, 0, 0, 10), c(20, 10, 10, 20),
              c(30, 20, 20, 30), c(1, 0, 0, 1), c(3, 1, 1, 3), c(8, 2, 1, 5), c(0, 5, 5, 0),
              c(0, 2, 3, 0), c(1, 0, 0, 9), c(2, 0, 2, 12), c(0, 300000, 5, 299995),
              c(999999, 999999, 999999, 999999), c(500000, 500000, 500000, 500000),
              c(1000, 1000, 1000, 1000), c(3, 999996, 5, 999994), c(0, 999999, 999999, 1),
              c(999999, 0, 0, 999999), c(1, 999999, 999999, 1), c(999999, 1, 1, 0))
for (t in fixed) add(t, "fixed")

for (i in 1:350) add(sample(0:10, 4, replace = TRUE), "tiny")
for (i in 1:450) {
  t <- any_magnitude(4); t[sample(4, sample(1:2, 1))] <- 0L; add(t, "zeros")
}
for (i in 1:200) {
  a <- any_magnitude(1); b <- sample(0:300, 1); add(c(a, b, b, a), "symmetric")
}
for (i in 1:200) {
  r <- any_magnitude(1); a <- sample(0:r, 1); c <- sample(0:r, 1); add(c(a, r - a, c, r - c), "equal-rows")
}
near_five <- 0
while (near_five < 300) {
  t <- c(sample(0:15, 2, replace = TRUE), sample(0:60, 2, replace = TRUE))[sample(4)]
  if (usable(t) && abs(min(expected(t)) - 5) <= 0.5) { add(t, "expected-near-5"); near_five <- near_five + 1 }
}
for (i in 1:800) add(any_magnitude(4), "any-magnitude")

# Tables whose p-value lies within 3% of a level, for either test.
levels <- c(0.1, 0.05, 0.01)
near_level <- 0
while (near_level < 900) {
  n <- floor(10^runif(1, 1, 3.5))
  cuts <- sort(sample(0:n, 3, replace = TRUE))
  t <- c(cuts[1], cuts[2] - cuts[1], cuts[3] - cuts[2], n - cuts[3])
  if (!usable(t)) next
  p <- p_values(t)
  if (any(abs(outer(p, levels, "/") - 1) <= 0.03)) { add(t, "near-level"); near_level <- near_level + 1 }
}

con <- file(output, "w")
writeLines(c(sprintf("# %s", R.version.string),
             "# fisher.test(two-sided, conf.int = FALSE)$p.value and chisq.test(correct = TRUE)$p.value",
             "# made by dev/reference.R; columns separated by tabs",
             "a\tb\tc\td\tkind\tfisher\tchisq"), con)
for (entry in tables) {
  t <- entry$t
  p <- p_values(t)
  writeLines(sprintf("%d\t%d\t%d\t%d\t%s\t%.17g\t%.17g", t[1], t[2], t[3], t[4], entry$kind, p[1], p[2]), con)
}
close(con)
cat(sprintf("wrote %d tables to %s\n", length(tables), output))
